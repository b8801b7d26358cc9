#pragma once

#include <QString>
#include <QWidget>

// A plain picture box used as a coloured square: its back colour (a colour reference),
// a free text Tag, and a flat (0) or three-dimensional (1) appearance. Click() is raised
// when the left button is released over an enabled box, or when Space is pressed on it
// (an enabled box takes the focus, so a picker of boxes works from the keyboard; the
// arrows move between boxes, and EnfocadoConTeclado() tells that the keyboard brought the
// focus, a dialog showing included); handlers connected to it must keep their failures to
// themselves.
class CuadroDeColor final : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(qint32 BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(int Appearance READ Appearance WRITE setAppearance)
    Q_PROPERTY(QString Tag READ Tag WRITE setTag)

public:
    enum Apariencia { Plana = 0, TresDimensiones = 1 };

    explicit CuadroDeColor(QWidget *parent = nullptr);
    ~CuadroDeColor() override;

    // A reference that is neither an RGB colour nor a system colour raises 380 and
    // leaves the box as it was.
    qint32 BackColor() const { return m_backColor; }
    void setBackColor(qint32 reference);
    // The colour the box shows, system colours resolved against the desktop's palette.
    QColor color() const;

    // Any appearance other than 0 or 1 raises 380.
    int Appearance() const { return m_appearance; }
    void setAppearance(int appearance);

    QString Tag() const { return m_tag; }
    void setTag(const QString &tag) { m_tag = tag; }

Q_SIGNALS:
    void Click();
    void EnfocadoConTeclado();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    qint32 m_backColor = qint32(0x80000005u); // the system window colour
    int m_appearance = Plana;
    QString m_tag;
};
