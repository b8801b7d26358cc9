#pragma once

#include "controles/controles_export.h"

#include <QVariant>
#include <QWidget>

#include <memory>

class QLineEdit;
class QToolButton;

namespace Kit {

class InputColors;

// The forms' text box: a line edit, a magnifier button when mostrarlupa is on, and a
// lookup that fills another box of the same window from the typed code.
//
// Committing the code. When the user presses Enter, when the focus leaves the box after
// the text changed, or when code calls Valida(), the box
//   1. applies Formato to the text, and
//   2. when sql and sql_control_resultado are both set, runs sql with every '?' replaced
//      by the code (quotes doubled) on the session's connection and puts the first column
//      of the first row into the txtZEL named sql_control_resultado in the same window:
//      "" for no row, a Null value or an empty code. A failing query empties that box
//      too and is logged; it never leaves the control.
//
// Formato: a text of '0' and '#' digit places, such as "0000". A code made only of digits
// is left-padded with zeros up to the places from the first '0' to the end ("0000" turns
// 7 into 0007, "#00" turns 5 into 05); longer codes are kept whole. Any other code, an
// empty or Null Formato, or a Formato with other characters, leave the text unchanged.
//
// Focus. The line edit is the focus proxy, so QApplication::focusWidget() is the line edit,
// whose objectName is the box's own name followed by "_texto" (the magnifier's, "_lupa").
// A form gets the box from the focus widget with txtZEL::owning(), and the name to compare
// with the box's objectName().
//
// Handlers connected to Buscar must keep their failures to themselves: the signal is
// raised from inside Qt's event handling.
class CONTROLES_EXPORT txtZEL final : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString Texto READ Texto WRITE setTexto)
    Q_PROPERTY(QVariant Formato READ Formato WRITE setFormato)
    Q_PROPERTY(bool Habilitado READ Habilitado WRITE setHabilitado)
    Q_PROPERTY(QString idconsulta READ idconsulta WRITE setIdconsulta)
    Q_PROPERTY(bool esclave READ esclave WRITE setEsclave)
    Q_PROPERTY(bool mayusculas READ mayusculas WRITE setMayusculas)
    Q_PROPERTY(bool tabonenter READ tabonenter WRITE setTabonenter)
    Q_PROPERTY(bool tabonentervacio READ tabonentervacio WRITE setTabonentervacio)
    Q_PROPERTY(bool tabstop READ tabstop WRITE setTabstop)
    Q_PROPERTY(QString sql READ sql WRITE setSql)
    Q_PROPERTY(QString sql_control_resultado READ sql_control_resultado WRITE setSql_control_resultado)
    Q_PROPERTY(QString passwordchar READ passwordchar WRITE setPasswordchar)
    Q_PROPERTY(int maxlength READ maxlength WRITE setMaxlength)
    Q_PROPERTY(bool locked READ locked WRITE setLocked)
    Q_PROPERTY(bool mostrarlupa READ mostrarlupa WRITE setMostrarlupa)
    Q_PROPERTY(qint32 enabledcolor READ enabledcolor WRITE setEnabledcolor)
    Q_PROPERTY(qint32 disabledcolor READ disabledcolor WRITE setDisabledcolor)
    Q_PROPERTY(qint32 focuscolor READ focuscolor WRITE setFocuscolor)

public:
    explicit txtZEL(QWidget *parent = nullptr);
    ~txtZEL() override;

    // The box that owns a widget: the box itself, its line edit or its magnifier; none
    // for any other widget.
    static txtZEL *owning(QWidget *widget);

    QLineEdit *editor() const { return m_editor; }

    QString Texto() const;
    void setTexto(const QString &text);
    QVariant Formato() const { return m_formato; }
    void setFormato(const QVariant &format) { m_formato = format; }
    // The box's own enabled state, whatever its form's.
    bool Habilitado() const;
    void setHabilitado(bool enabled);

    // The catalogue a search dialog would offer for this box, and whether the box holds a
    // key; kept for the forms, the box itself does nothing with them.
    QString idconsulta() const { return m_idConsulta; }
    void setIdconsulta(const QString &id) { m_idConsulta = id; }
    bool esclave() const { return m_esClave; }
    void setEsclave(bool on) { m_esClave = on; }

    // Typed and pasted text becomes upper case; text set by code is kept as given.
    bool mayusculas() const { return m_mayusculas; }
    void setMayusculas(bool on);

    // Enter moves the focus to the next control in the tab chain, when the box holds text
    // or, with tabonentervacio, also when it is empty.
    bool tabonenter() const { return m_tabOnEnter; }
    void setTabonenter(bool on) { m_tabOnEnter = on; }
    bool tabonentervacio() const { return m_tabOnEnterEmpty; }
    void setTabonentervacio(bool on) { m_tabOnEnterEmpty = on; }

    // Off: Tab passes the box by; a click still focuses it.
    bool tabstop() const;
    void setTabstop(bool on);

    QString sql() const { return m_sql; }
    void setSql(const QString &query) { m_sql = query; }
    QString sql_control_resultado() const { return m_resultControl; }
    void setSql_control_resultado(const QString &name) { m_resultControl = name; }

    // Any non-empty text hides the typing behind the platform's password characters.
    QString passwordchar() const { return m_passwordChar; }
    void setPasswordchar(const QString &character);

    // 0 means no limit; a negative length raises 380.
    int maxlength() const { return m_maxLength; }
    void setMaxlength(int length);

    bool locked() const;
    void setLocked(bool on);

    bool mostrarlupa() const { return m_mostrarLupa; }
    void setMostrarlupa(bool on);

    // Field colours as colour references; each raises 380 for an invalid one.
    qint32 enabledcolor() const;
    void setEnabledcolor(qint32 reference);
    qint32 disabledcolor() const;
    void setDisabledcolor(qint32 reference);
    qint32 focuscolor() const;
    void setFocuscolor(qint32 reference);

    // Commits the code as the user's Enter would, without the Enter's other effects.
    Q_INVOKABLE void Valida();

Q_SIGNALS:
    // The search request: the magnifier's click, or Enter while mostrarlupa is on.
    void Buscar();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildChildren();
    void nameChildren();
    void commit();
    void applyFormat();
    void lookUp();
    void showLookupResult(const QString &result) const;
    QString runLookup(const QString &code) const;
    bool handleEnter();
    void repaintField();

    QLineEdit *m_editor = nullptr;
    QToolButton *m_lupa = nullptr;
    std::unique_ptr<InputColors> m_colors;
    QVariant m_formato;
    QString m_committedText;
    QString m_idConsulta;
    QString m_sql;
    QString m_resultControl;
    QString m_passwordChar;
    int m_maxLength = 0;
    bool m_esClave = false;
    bool m_mayusculas = false;
    bool m_tabOnEnter = false;
    bool m_tabOnEnterEmpty = false;
    bool m_mostrarLupa = false;
};

} // namespace Kit
