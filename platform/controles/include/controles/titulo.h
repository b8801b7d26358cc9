#pragma once

#include "controles/controles_export.h"

#include <QPoint>
#include <QWidget>

#include <optional>

class QLabel;
class QToolButton;

namespace Kit {

// The title band across the top of a dialog: the window's icon (adjusticon "SI"), the
// caption, and minimise, maximise and exit buttons, each shown only when its switch is
// "SI". Dragging the band moves its window. Salir() is raised by the exit button;
// handlers connected to it must keep their failures to themselves.
class CONTROLES_EXPORT Titulo final : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString caption READ caption WRITE setCaption)
    Q_PROPERTY(QString showminbutton READ showminbutton WRITE setShowminbutton)
    Q_PROPERTY(QString showmaxbutton READ showmaxbutton WRITE setShowmaxbutton)
    Q_PROPERTY(QString showexitbutton READ showexitbutton WRITE setShowexitbutton)
    Q_PROPERTY(QString adjusticon READ adjusticon WRITE setAdjusticon)

public:
    explicit Titulo(QWidget *parent = nullptr);
    ~Titulo() override;

    QString caption() const;
    void setCaption(const QString &caption);

    // "SI" shows the part, anything else hides it.
    QString showminbutton() const { return m_showMin; }
    void setShowminbutton(const QString &value);
    QString showmaxbutton() const { return m_showMax; }
    void setShowmaxbutton(const QString &value);
    QString showexitbutton() const { return m_showExit; }
    void setShowexitbutton(const QString &value);
    QString adjusticon() const { return m_adjustIcon; }
    void setAdjusticon(const QString &value);

    QSize sizeHint() const override;

Q_SIGNALS:
    void Salir();

protected:
    void showEvent(QShowEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QToolButton *addButton(const QString &name, const QString &symbol, const QString &toolTip);
    void toggleMaximised();
    void showWindowIcon();

    QLabel *m_icon = nullptr;
    QLabel *m_caption = nullptr;
    QToolButton *m_minimise = nullptr;
    QToolButton *m_maximise = nullptr;
    QToolButton *m_exit = nullptr;
    QString m_showMin = QStringLiteral("SI");
    QString m_showMax = QStringLiteral("SI");
    QString m_showExit = QStringLiteral("SI");
    QString m_adjustIcon = QStringLiteral("NO");
    // Where in the window the drag took hold, while the band is being dragged.
    std::optional<QPoint> m_dragOffset;
};

} // namespace Kit
