#include "servicios/lecturalista.h"

#include "servicios/ajustelista.h"

#include "cambiossueltos.h"
#include "formatolista.h"

#include "ado/recordset.h"
#include "controles/listview.h"
#include "runtime/conversions.h"

#include <QDateTime>

#include <vector>

namespace Servicios {

QString textoDeCelda(const QVariant &valor)
{
    if (valor.isNull())
        return {};
    switch (valor.metaType().id()) {
    case QMetaType::QString: return valor.toString();
    case QMetaType::Int:
    case QMetaType::LongLong: return QString::number(valor.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float: return QString::number(valor.toDouble(), 'f', 2);
    case QMetaType::QDate: return valor.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    case QMetaType::QDateTime: return valor.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    default: return Runtime::toTextOrEmpty(valor);
    }
}

namespace {

using Kit::ListUpdate;
using Kit::TextTable;

// How often a reading looks whether it was told to stop.
constexpr int filasEntreRevisiones = 256;

class Lectura
{
public:
    Lectura(const Kit::ListSnapshot &mostrada, const QStringList &encabezados)
        : m_mostrada(mostrada)
        , m_fila(size_t(encabezados.size()))
        , m_formato(encabezados, mostrada.table.get())
    {
        m_comparando = mostrada.table && !mostrada.table->hasKeys();
        if (m_comparando)
            m_maximoDeCambios = maximoDeCambiosSueltos(mostrada.table->rowCount());
        else
            m_nueva = std::make_shared<TextTable>();
    }

    void leeRegistro(const Ado::Recordset &datos)
    {
        for (size_t columna = 0; columna < m_fila.size(); ++columna)
            m_fila[columna] = m_formato.texto(int(columna), datos.field(int(columna)));
        for (const FormatoDeLista::CambioDeDecimales &cambio : m_formato.tomaCambios())
            reescribe(cambio);
        if (m_comparando) {
            if (comparaConLaMostrada()) {
                ++m_filas;
                return;
            }
            empiezaTablaNueva(m_filas);
        }
        m_nueva->appendRow(m_fila);
        ++m_filas;
    }

    ListUpdate termina(const QStringList &encabezados)
    {
        for (const FormatoDeLista::CambioDeDecimales &cambio : m_formato.sobranDecimales())
            reescribe(cambio);
        if (m_comparando && m_filas != m_mostrada.table->rowCount())
            empiezaTablaNueva(m_filas);
        m_actualizacion.headers = encabezados;
        if (m_comparando)
            return std::move(m_actualizacion);
        if (m_mostrada.sort) {
            m_actualizacion.sortedBy = m_mostrada.sort;
            m_actualizacion.order = m_nueva->sortedRows(m_mostrada.sort->column, m_mostrada.sort->order);
        }
        m_actualizacion.table = std::move(m_nueva);
        return std::move(m_actualizacion);
    }

    int filas() const { return m_filas; }
    const TextTable *nuevas() const { return m_comparando ? nullptr : m_nueva.get(); }

private:
    // Whether the record is the row shown in its place (the same folio), perhaps with other
    // texts, which are then kept as a change (or, past too many changes, in a new table).
    bool comparaConLaMostrada()
    {
        const TextTable &mostrada = *m_mostrada.table;
        if (m_filas >= mostrada.rowCount() || mostrada.textCount(m_filas) < 1 || m_fila.empty()
            || mostrada.text(m_filas, 0) != m_fila.front())
            return false;
        if (mostrada.rowEquals(m_filas, m_fila))
            return true;
        m_actualizacion.changes.push_back(ListUpdate::RowChange{m_filas, QStringList(m_fila.begin(), m_fila.end())});
        if (m_actualizacion.changes.size() > m_maximoDeCambios)
            empiezaTablaNueva(m_filas + 1);
        return true;
    }

    // The figures kept so far of a column whose decimals changed, written again; the rows
    // shown have the old texts, so they are no longer the rows read.
    void reescribe(const FormatoDeLista::CambioDeDecimales &cambio)
    {
        if (m_comparando)
            empiezaTablaNueva(m_filas);
        m_nueva->rewriteColumn(cambio.columna, [&](const QString &texto) {
            return FormatoDeLista::conDecimales(texto, cambio.antes, cambio.despues);
        });
    }

    // A new table with the rows read so far: the rows shown, with the changes found in them.
    void empiezaTablaNueva(int filasLeidas)
    {
        const TextTable &mostrada = *m_mostrada.table;
        m_nueva = std::make_shared<TextTable>();
        m_nueva->reserve(mostrada.rowCount());
        auto cambio = m_actualizacion.changes.cbegin();
        std::vector<QString> textos;
        for (int fila = 0; fila < filasLeidas; ++fila) {
            if (cambio != m_actualizacion.changes.cend() && cambio->row == fila) {
                m_nueva->appendRow(std::span<const QString>(cambio->texts.constData(), size_t(cambio->texts.size())));
                ++cambio;
                continue;
            }
            textos.clear();
            for (int columna = 0; columna < mostrada.textCount(fila); ++columna)
                textos.push_back(mostrada.text(fila, columna));
            m_nueva->appendRow(textos);
        }
        m_actualizacion.changes.clear();
        m_comparando = false;
    }

    const Kit::ListSnapshot &m_mostrada;
    std::vector<QString> m_fila;
    bool m_comparando = false;
    size_t m_maximoDeCambios = 0;
    int m_filas = 0;
    std::shared_ptr<TextTable> m_nueva;
    ListUpdate m_actualizacion;
    FormatoDeLista m_formato;
};

} // namespace

std::optional<Kit::ListUpdate> leeLista(Ado::Recordset &datos, const Kit::ListSnapshot &mostrada,
                                        const std::function<bool()> &debeParar, const AvanceDeLectura &avance)
{
    QStringList encabezados;
    for (int columna = 0; columna < datos.fieldCount(); ++columna)
        encabezados << datos.fieldName(columna);
    Kit::ListSnapshot comparable = mostrada;
    if (encabezados != mostrada.headers)
        comparable.table.reset(); // other columns: nothing to compare with
    Lectura lectura(comparable, encabezados);
    for (; !datos.atEnd(); datos.moveNext()) {
        if (lectura.filas() % filasEntreRevisiones == 0 && lectura.filas() > 0) {
            if (debeParar && debeParar())
                return std::nullopt;
            if (avance)
                avance(lectura.filas(), lectura.nuevas(), encabezados);
        }
        lectura.leeRegistro(datos);
    }
    return lectura.termina(encabezados);
}

void aplicaLectura(Kit::ListView &lista, Kit::ListUpdate lectura, std::optional<bool> columnasNuevas)
{
    if (!columnasNuevas)
        columnasNuevas = lista.listModel().headers() != lectura.headers || lista.layoutKeyChanged();
    lista.apply(std::move(lectura));
    if (*columnasNuevas && !lista.restoreLayout())
        AjusteLista().AjustaAlAncho(lista);
}

} // namespace Servicios
