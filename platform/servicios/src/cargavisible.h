#pragma once

#include "controles/listupdate.h"

#include "runtime/keeppainting.h"

#include <QPointer>
#include <QString>
#include <QStringList>

namespace Kit {
class ListView;
class TextTable;
} // namespace Kit
namespace Runtime {
class ScreenStatus;
}

namespace Servicios {

// A list read on the user-interface thread that keeps its window alive: every so often while
// the rows arrive the window paints again (user input waits until the reading ends, so no
// handler runs in the middle of another), the screen's status bar counts the rows read, and
// a list that shows nothing of this statement yet shows the first rows read at once. The
// window cannot be closed meanwhile. The caller's steps run in their order, after the reading.
class CargaVisible final
{
public:
    explicit CargaVisible(Kit::ListView &lista);
    ~CargaVisible();
    CargaVisible(const CargaVisible &) = delete;
    CargaVisible &operator=(const CargaVisible &) = delete;

    // Every few hundred rows: `leidas` holds the rows read so far when the reading makes a new
    // table (none while it still finds the rows shown).
    void avanza(int filas, const Kit::TextTable *leidas, const QStringList &encabezados);
    // Whether the list showed first rows of the reading: then its layout is as the reading
    // found it at its start, not as the list is now.
    bool mostroPrimeras() const { return m_mostroPrimeras; }
    bool columnasNuevas() const { return m_columnasNuevas; }

private:
    void muestraPrimeras(const Kit::TextTable &leidas, const QStringList &encabezados);

    Kit::ListView &m_lista;
    Runtime::KeepPainting m_pintura;
    QPointer<Runtime::ScreenStatus> m_estado;
    QString m_contenidoAntes;
    QString m_progreso;
    bool m_mostroPrimeras = false;
    bool m_columnasNuevas = false;
};

} // namespace Servicios
