#pragma once

#include <QDialog>
#include <QString>

class Ingreso;
class QLabel;
class QLineEdit;

// Asks for the operator's code and password until they sign in or the user gives up. A
// refusal is shown in the dialog itself and keeps the code, so the user only types the
// password again.
class DialogoIngreso final : public QDialog
{
    Q_OBJECT

public:
    DialogoIngreso(Ingreso &ingreso, const QString &codigo, QWidget *parent = nullptr);

    // The operator's code as the database stores it, once accepted.
    QString operador() const { return m_operador; }

private:
    void intenta();
    void rechaza(const QString &motivo);

    Ingreso &m_ingreso;
    QLineEdit *m_codigo = nullptr;
    QLineEdit *m_contrasena = nullptr;
    QLabel *m_aviso = nullptr;
    QString m_operador;
};
