#include "servicios/mezclalista.h"

#include "servicios/lecturalista.h"

#include "cambiossueltos.h"
#include "formatolista.h"

#include "ado/recordset.h"
#include "controles/texttable.h"

#include <QHash>

#include <algorithm>

namespace Servicios {
namespace {

using Kit::ListUpdate;
using Kit::TextTable;

class Mezclador
{
public:
    Mezclador(const Kit::ListSnapshot &mostrada, const QSet<QString> &folios)
        : m_mostrada(mostrada)
        , m_tabla(*mostrada.table)
        , m_folios(folios)
    { }

    // The rows shown of the folios that changed, each once; no row shown without a folio.
    // Only those are indexed: a look-up in the few folios costs less than indexing them all.
    bool buscaLasMostradas()
    {
        for (int fila = 0; fila < m_tabla.rowCount(); ++fila) {
            const QString &folio = m_tabla.text(fila, 0);
            if (folio.isEmpty())
                return false;
            if (!m_folios.contains(folio))
                continue;
            if (m_filaDe.contains(folio))
                return false;
            m_filaDe.insert(folio, fila);
        }
        return true;
    }

    bool leeReleidas(Ado::Recordset &cambiadas, FormatoDeLista &formato)
    {
        for (; !cambiadas.atEnd(); cambiadas.moveNext()) {
            QStringList textos;
            for (int columna = 0; columna < cambiadas.fieldCount(); ++columna)
                textos << formato.texto(columna, cambiadas.field(columna));
            const QString folio = textos.front();
            if (!m_folios.contains(folio) || m_releidas.contains(folio))
                return false;
            m_releidas.insert(folio, std::move(textos));
        }
        return formato.tomaCambios().empty();
    }

    // A row that leaves or changes must not be the one that holds a column's decimals.
    bool decimalesIntactos(const FormatoDeLista &formato) const
    {
        for (const QString &folio : m_folios) {
            const auto fila = m_filaDe.constFind(folio);
            if (fila == m_filaDe.cend())
                continue;
            const auto releida = m_releidas.constFind(folio);
            for (int columna = 1; columna < m_tabla.textCount(*fila); ++columna) {
                const QString &texto = m_tabla.text(*fila, columna);
                const bool cambia = releida == m_releidas.cend() || releida->value(columna) != texto;
                if (cambia && formato.sostieneDecimales(columna, texto))
                    return false;
            }
        }
        return true;
    }

    // The new rows in the view's order, each before the row shown that stays and comes after
    // it: a binary search among the rows that stay, the database comparing the folios, all
    // the new rows at once in each step.
    bool colocaLasNuevas(const OrdenDeFolios &orden)
    {
        QStringList nuevas;
        for (auto releida = m_releidas.cbegin(); releida != m_releidas.cend(); ++releida) {
            if (!m_filaDe.contains(releida.key()))
                nuevas << releida.key();
        }
        for (auto fila = m_filaDe.cbegin(); fila != m_filaDe.cend(); ++fila) {
            if (!m_releidas.contains(fila.key()))
                m_salen.push_back(fila.value());
        }
        std::sort(m_salen.begin(), m_salen.end());
        if (nuevas.isEmpty())
            return true;
        m_nuevas = orden.ordena(nuevas);
        if (QSet<QString>(m_nuevas.cbegin(), m_nuevas.cend()) != QSet<QString>(nuevas.cbegin(), nuevas.cend()))
            return false;
        anotaLasQueQuedan();
        buscaLugares(orden);
        return std::is_sorted(m_lugares.cbegin(), m_lugares.cend());
    }

    Mezcla compone(const QStringList &encabezados)
    {
        Mezcla mezcla;
        mezcla.actualizacion.headers = encabezados;
        if (m_nuevas.isEmpty() && m_salen.empty() && enSusLugares(mezcla))
            return mezcla;
        anotaLasQueQuedan();
        tablaNueva(mezcla);
        return mezcla;
    }

private:
    struct Lugar
    {
        int mostrada = -1;                    // the row shown it was, or -1 for a new one
        const QStringList *releida = nullptr; // its texts when read again
    };

    void buscaLugares(const OrdenDeFolios &orden)
    {
        std::vector<size_t> desde(size_t(m_nuevas.size()), 0);
        std::vector<size_t> hasta(size_t(m_nuevas.size()), m_quedan.size());
        for (;;) {
            QStringList mostradas;
            QStringList nuevas;
            std::vector<size_t> cuales;
            for (size_t nueva = 0; nueva < desde.size(); ++nueva) {
                if (desde[nueva] >= hasta[nueva])
                    continue;
                mostradas << m_tabla.text(m_quedan[(desde[nueva] + hasta[nueva]) / 2], 0);
                nuevas << m_nuevas[qsizetype(nueva)];
                cuales.push_back(nueva);
            }
            if (cuales.empty())
                break;
            const std::vector<bool> antes = orden.antes(mostradas, nuevas);
            for (size_t paso = 0; paso < cuales.size(); ++paso) {
                const size_t nueva = cuales[paso];
                const size_t medio = (desde[nueva] + hasta[nueva]) / 2;
                if (paso < antes.size() && antes[paso])
                    desde[nueva] = medio + 1;
                else
                    hasta[nueva] = medio;
            }
        }
        m_lugares = std::move(desde);
    }

    // The rows shown in their places: only the texts that changed, as a whole reading keeps
    // them, found through the rows read again alone.
    bool enSusLugares(Mezcla &mezcla) const
    {
        std::vector<std::pair<int, const QStringList *>> releidas; // every folio shown was read again
        for (auto fila = m_filaDe.cbegin(); fila != m_filaDe.cend(); ++fila)
            releidas.emplace_back(fila.value(), &*m_releidas.constFind(fila.key()));
        std::sort(releidas.begin(), releidas.end());
        for (const auto &[fila, releida] : releidas) {
            mezcla.releidas.push_back(fila);
            if (!m_tabla.rowEquals(fila, textosDe(*releida)))
                mezcla.actualizacion.changes.push_back({fila, *releida});
        }
        if (mezcla.actualizacion.changes.size() <= maximoDeCambiosSueltos(m_tabla.rowCount()))
            return true;
        mezcla.releidas.clear();
        mezcla.actualizacion.changes.clear();
        return false;
    }

    // The rows shown that stay, in their order: all but the few that leave.
    void anotaLasQueQuedan()
    {
        if (!m_quedan.empty() || m_tabla.rowCount() == 0)
            return;
        m_quedan.reserve(size_t(m_tabla.rowCount()) - m_salen.size());
        auto sale = m_salen.cbegin();
        for (int fila = 0; fila < m_tabla.rowCount(); ++fila) {
            if (sale != m_salen.cend() && *sale == fila)
                ++sale;
            else
                m_quedan.push_back(fila);
        }
    }

    // The rows in the result's order: the new ones before the first row that stays after them.
    std::vector<Lugar> orden() const
    {
        QHash<int, const QStringList *> releidaDe; // by the row shown
        for (auto fila = m_filaDe.cbegin(); fila != m_filaDe.cend(); ++fila) {
            if (const auto releida = m_releidas.constFind(fila.key()); releida != m_releidas.cend())
                releidaDe.insert(fila.value(), &*releida);
        }
        std::vector<Lugar> orden;
        orden.reserve(m_quedan.size() + size_t(m_nuevas.size()));
        qsizetype nueva = 0;
        const auto agregaNuevasHasta = [&](size_t lugar) {
            for (; nueva < m_nuevas.size() && m_lugares[size_t(nueva)] <= lugar; ++nueva)
                orden.push_back({-1, &*m_releidas.constFind(m_nuevas[nueva])});
        };
        for (size_t lugar = 0; lugar < m_quedan.size(); ++lugar) {
            agregaNuevasHasta(lugar);
            const int fila = m_quedan[lugar];
            orden.push_back({fila, releidaDe.value(fila, nullptr)});
        }
        agregaNuevasHasta(m_quedan.size());
        return orden;
    }

    void tablaNueva(Mezcla &mezcla) const
    {
        auto tabla = std::make_shared<TextTable>();
        const std::vector<Lugar> lugares = orden();
        tabla->reserve(int(lugares.size()));
        std::vector<QString> textos;
        for (const Lugar &lugar : lugares) {
            mezcla.conservada.push_back(lugar.releida ? -1 : lugar.mostrada);
            if (lugar.releida) {
                tabla->appendRow(textosDe(*lugar.releida));
                continue;
            }
            textos.clear();
            for (int columna = 0; columna < m_tabla.textCount(lugar.mostrada); ++columna)
                textos.push_back(m_tabla.text(lugar.mostrada, columna));
            tabla->appendRow(textos);
        }
        if (m_mostrada.sort) {
            mezcla.actualizacion.sortedBy = m_mostrada.sort;
            mezcla.actualizacion.order = tabla->sortedRows(m_mostrada.sort->column, m_mostrada.sort->order);
        }
        mezcla.actualizacion.table = std::move(tabla);
    }

    static std::span<const QString> textosDe(const QStringList &textos)
    {
        return {textos.constData(), size_t(textos.size())};
    }

    const Kit::ListSnapshot &m_mostrada;
    const TextTable &m_tabla;
    const QSet<QString> &m_folios;
    QHash<QString, int> m_filaDe; // the rows shown of the changed folios
    QHash<QString, QStringList> m_releidas;
    std::vector<int> m_salen;      // the rows shown that leave the view, in their order
    std::vector<int> m_quedan;     // the rows shown that stay, in their order
    QStringList m_nuevas;          // the folios new to the list, in the view's order
    std::vector<size_t> m_lugares; // for each new one, the first row that stays after it
};

} // namespace

std::optional<Mezcla> mezclaLista(Ado::Recordset &cambiadas, const Kit::ListSnapshot &mostrada,
                                  const QSet<QString> &folios, const OrdenDeFolios &orden)
{
    QStringList encabezados;
    for (int columna = 0; columna < cambiadas.fieldCount(); ++columna)
        encabezados << cambiadas.fieldName(columna);
    if (!mostrada.table || mostrada.table->hasKeys() || encabezados.isEmpty() || encabezados != mostrada.headers)
        return std::nullopt;
    Mezclador mezclador(mostrada, folios);
    FormatoDeLista formato(encabezados, mostrada.table.get());
    if (!mezclador.buscaLasMostradas() || !mezclador.leeReleidas(cambiadas, formato)
        || !mezclador.decimalesIntactos(formato) || !mezclador.colocaLasNuevas(orden))
        return std::nullopt;
    return mezclador.compone(encabezados);
}

} // namespace Servicios
