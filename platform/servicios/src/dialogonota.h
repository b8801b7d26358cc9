#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPlainTextEdit;

namespace Servicios {

// The two kinds of note the CRM keeps about an entity: where they are stored and how the
// capture dialog and its messages name them.
struct ClaseDeNota
{
    QString nombreDialogo; // objectName of the capture dialog
    QString titulo;
    QString tabla;
    QString columnas;    // entity, key, note, operator, date
    QString conArticulo; // "el seguimiento", for the messages

    static const ClaseDeNota &seguimiento();
    static const ClaseDeNota &evento();
};

// Captures the text of one note about an entity. Accepting with an empty note keeps the
// dialog open and says why.
class DialogoNota final : public QDialog
{
    Q_OBJECT

public:
    DialogoNota(const ClaseDeNota &clase, const QString &entidad, const QString &clave, QWidget *parent = nullptr);

    QString nota() const;

    void accept() override;

private:
    QPlainTextEdit *m_nota = nullptr;
    QLabel *m_aviso = nullptr;
};

} // namespace Servicios
