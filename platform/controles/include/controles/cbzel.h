#pragma once

#include "controles/controles_export.h"

#include <QComboBox>

#include <memory>

namespace Kit {

class InputColors;

// The forms' combo box. Items are numbered from 0; Indice -1 means no selection.
//
// Click() is raised whenever the selected index changes, by the user or by code:
// setIndice to another index, Limpia on a combo that had a selection (the index becomes
// -1). Setting the index it already has raises nothing, and Agrega never selects an item
// by itself, so filling a combo raises nothing either. Handlers connected to Click must
// keep their failures to themselves: the signal may be raised from inside Qt's event
// handling.
class CONTROLES_EXPORT cbZel final : public QComboBox
{
    Q_OBJECT
    Q_PROPERTY(bool tabonenter READ tabonenter WRITE setTabonenter)
    Q_PROPERTY(int estilo READ estilo WRITE setEstilo)
    Q_PROPERTY(qint32 enabledcolor READ enabledcolor WRITE setEnabledcolor)
    Q_PROPERTY(qint32 disabledcolor READ disabledcolor WRITE setDisabledcolor)
    Q_PROPERTY(qint32 focuscolor READ focuscolor WRITE setFocuscolor)
    Q_PROPERTY(qint16 Indice READ Indice WRITE setIndice)

public:
    // The combo's styles: an editable drop-down, a simple combo (always open elsewhere,
    // shown here as an editable drop-down) and a drop-down list that only offers its items.
    enum Estilo { DropDownCombo = 0, SimpleCombo = 1, DropDownList = 2 };

    explicit cbZel(QWidget *parent = nullptr);
    ~cbZel() override;

    // Enter moves the focus to the next control in the tab chain.
    bool tabonenter() const { return m_tabOnEnter; }
    void setTabonenter(bool on) { m_tabOnEnter = on; }

    // Raises 380 for a style other than 0, 1 or 2.
    int estilo() const { return m_estilo; }
    void setEstilo(int estilo);

    // Field colours as colour references; each raises 380 for an invalid one.
    qint32 enabledcolor() const;
    void setEnabledcolor(qint32 reference);
    qint32 disabledcolor() const;
    void setDisabledcolor(qint32 reference);
    qint32 focuscolor() const;
    void setFocuscolor(qint32 reference);

    // Raises 6 when the count does not fit 16 bits.
    Q_INVOKABLE qint16 NumElementos() const;
    qint16 Indice() const;
    // -1 clears the selection; any other index outside the items raises 380.
    void setIndice(qint16 index);
    Q_INVOKABLE void Limpia();
    Q_INVOKABLE void Agrega(const QString &text);

Q_SIGNALS:
    void Click();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void nameEditor();
    void repaintField();

    std::unique_ptr<InputColors> m_colors;
    bool m_tabOnEnter = false;
    int m_estilo = DropDownCombo;
};

} // namespace Kit
