#pragma once

#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QString>

class Anfitrion;
class BarraDeEstado;
class BarraDeFiltro;
class Modulos;
class QMenu;

// The suite's main window: the module opened first fills it, the other modules' screens and
// the host's own screens open as windows it owns. Its menus open the installed modules
// (Módulos), act on the list of the screen it holds (Lista), bring any open window to the
// front (Ventana) and tell what this program is and which keys it knows (Ayuda); above the
// screen, its quick filter narrows the screen's list to the rows that hold a text. It opens
// as the user left it. Its status bar shows the operator, the database and the last thing
// done.
class VentanaPrincipal final : public QMainWindow
{
    Q_OBJECT

public:
    VentanaPrincipal(Modulos &modulos, QString operador, QWidget *parent = nullptr);
    ~VentanaPrincipal() override;

    // Opens a module's screen by its registration name, with a host object of its own as the
    // screen's `Padre`: the first one fills this window, later ones open as windows of their
    // own, and one already open comes to the front. Raises when the module cannot be loaded.
    QWidget *abreModulo(const QString &nombreDeRegistro);

    // The host object of the screen that fills the window; nothing before one was opened.
    Anfitrion *anfitrion() const { return m_anfitrion; }

    // The windows the Ventana menu lists: this one first, then every open window it owns.
    QList<QWidget *> ventanas();

    void anotaAccion(const QString &accion);
    BarraDeFiltro &barraDeFiltro() const { return *m_filtro; }

protected:
    void closeEvent(QCloseEvent *evento) override;

private:
    QString tituloDeLaSesion() const;
    void creaMenus();
    void creaBarraDeEstado();
    void listaModulos();
    void listaVentanas();
    void abreDesdeMenu(const QString &nombreDeRegistro);
    void acercaDe();
    Anfitrion *anfitrionPara(QWidget *pantalla);
    void ocupaElCentro(QWidget *pantalla, Anfitrion *anfitrion);
    void abreAparte(QWidget *pantalla);

    Modulos &m_modulos;
    QString m_operador;
    QPointer<Anfitrion> m_anfitrion;
    QList<QPointer<QWidget>> m_pantallasDeModulos; // they belong to their modules, not to this window
    BarraDeFiltro *m_filtro = nullptr;
    QMenu *m_menuModulos = nullptr;
    QMenu *m_menuVentana = nullptr;
    BarraDeEstado *m_barra = nullptr;
};
