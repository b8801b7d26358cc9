#pragma once

#include <QStatusBar>
#include <QString>

class QLabel;
class QWidget;

// The main window's status bar, in plain words: what was last done (by the host or on the
// screen it holds), what that screen shows, whether its connection is down, whose session
// it is and which database it works on. The screen's part comes from its ScreenStatus.
// When the bar is too narrow for all of them, what was last done keeps its room first: the
// other parts give up theirs, each down to a few letters; a part cut short ends in "…" and
// holds its whole text in its tooltip.
class BarraDeEstado final : public QStatusBar
{
    Q_OBJECT

public:
    struct Base
    {
        QString breve;    // shown
        QString completa; // in the tooltip
    };
    BarraDeEstado(const QString &operador, const Base &base, QWidget *parent = nullptr);

    void anotaAccion(const QString &accion);
    // Shows what `pantalla` says of itself from now on.
    void observa(QWidget *pantalla);

protected:
    void resizeEvent(QResizeEvent *evento) override;
    void showEvent(QShowEvent *evento) override;

private:
    QLabel *agrega(const QString &nombre, const QString &descripcion, bool permanente);
    void pon(QLabel *parte, const QString &texto);
    void muestraUsuario(const QString &vendedor);
    void muestraConexion(const QString &estado);
    void reparte();

    QString m_operador;
    QLabel *m_accion = nullptr;
    QLabel *m_contenido = nullptr;
    QLabel *m_conexion = nullptr;
    QLabel *m_usuario = nullptr;
    QLabel *m_base = nullptr;
};
