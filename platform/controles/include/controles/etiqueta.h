#pragma once

#include "controles/controles_export.h"
#include "controles/systemcolors.h"

#include <QLabel>

namespace Kit {

// The forms' label. It shows its caption; idetiqueta names what the label stands for and
// reaches assistive technology as the label's accessible description. Until it is given
// a back colour the label is transparent over its form.
class CONTROLES_EXPORT Etiqueta final : public QLabel
{
    Q_OBJECT
    Q_PROPERTY(QString caption READ caption WRITE setCaption)
    Q_PROPERTY(QString idetiqueta READ idetiqueta WRITE setIdetiqueta)
    Q_PROPERTY(int alignment READ alignmentCode WRITE setAlignmentCode)
    Q_PROPERTY(qint32 backcolor READ backcolor WRITE setBackcolor)
    Q_PROPERTY(qint32 forecolor READ forecolor WRITE setForecolor)

public:
    enum Alignment { Left = 0, Right = 1, Center = 2 };

    explicit Etiqueta(QWidget *parent = nullptr);
    ~Etiqueta() override;

    QString caption() const { return text(); }
    void setCaption(const QString &caption) { setText(caption); }
    QString idetiqueta() const { return m_idEtiqueta; }
    void setIdetiqueta(const QString &id);

    // The design-time alignment code: 0 left, 1 right, 2 centre; any other value raises
    // 380. (QLabel's own alignment() keeps answering in Qt's flags.)
    int alignmentCode() const { return m_alignment; }
    void setAlignmentCode(int alignment);

    // Colour references; each raises 380 for an invalid one.
    qint32 backcolor() const { return m_backColor; }
    void setBackcolor(qint32 reference);
    qint32 forecolor() const { return m_foreColor; }
    void setForecolor(qint32 reference);

private:
    QString m_idEtiqueta;
    int m_alignment = Left;
    qint32 m_backColor = SystemColor::ButtonFace;
    qint32 m_foreColor = SystemColor::ButtonText;
};

} // namespace Kit
