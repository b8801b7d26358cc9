#include "teclas.h"

#include <QApplication>
#include <QHash>
#include <QKeyEvent>
#include <QWidget>

namespace Servicios::Teclas {
namespace {

const QHash<QString, Tecla> &teclasConNombre()
{
    static const QHash<QString, Tecla> nombres = [] {
        QHash<QString, Tecla> tabla{
            {QStringLiteral("ENTER"), {Qt::Key_Return, QStringLiteral("\r")}},
            {QStringLiteral("TAB"), {Qt::Key_Tab, QStringLiteral("\t")}},
            {QStringLiteral("ESC"), {Qt::Key_Escape, QString(QChar(0x1b))}},
            {QStringLiteral("BS"), {Qt::Key_Backspace, QString(QChar(0x08))}},
            {QStringLiteral("DEL"), {Qt::Key_Delete, QString()}},
            {QStringLiteral("UP"), {Qt::Key_Up, QString()}},
            {QStringLiteral("DOWN"), {Qt::Key_Down, QString()}},
            {QStringLiteral("LEFT"), {Qt::Key_Left, QString()}},
            {QStringLiteral("RIGHT"), {Qt::Key_Right, QString()}},
            {QStringLiteral("HOME"), {Qt::Key_Home, QString()}},
            {QStringLiteral("END"), {Qt::Key_End, QString()}},
            {QStringLiteral("{"), {Qt::Key_BraceLeft, QStringLiteral("{")}},
            {QStringLiteral("}"), {Qt::Key_BraceRight, QStringLiteral("}")}},
        };
        for (int numero = 1; numero <= 12; ++numero)
            tabla.insert(QStringLiteral("F%1").arg(numero), Tecla{Qt::Key_F1 + numero - 1, QString()});
        return tabla;
    }();
    return nombres;
}

Tecla caracter(QChar letra)
{
    if (letra == QLatin1Char('\t'))
        return {Qt::Key_Tab, QStringLiteral("\t")};
    if (letra == QLatin1Char('\r') || letra == QLatin1Char('\n'))
        return {Qt::Key_Return, QStringLiteral("\r")};
    // Qt's key codes for letters, digits and ASCII signs are their upper-case code points.
    const char16_t codigo = letra.toUpper().unicode();
    return {codigo < 0x80 ? int(codigo) : int(Qt::Key_unknown), QString(letra)};
}

} // namespace

std::vector<Tecla> interpreta(const QString &teclas)
{
    std::vector<Tecla> resultado;
    for (qsizetype posicion = 0; posicion < teclas.size(); ++posicion) {
        if (teclas.at(posicion) == QLatin1Char('{')) {
            // "{}}" names the closing brace, so the name ends at the first '}' after one character.
            const qsizetype cierre = teclas.indexOf(QLatin1Char('}'), posicion + 2);
            if (cierre > posicion) {
                const auto nombrada = teclasConNombre().constFind(
                    teclas.mid(posicion + 1, cierre - posicion - 1).toUpper());
                if (nombrada != teclasConNombre().constEnd()) {
                    resultado.push_back(*nombrada);
                    posicion = cierre;
                    continue;
                }
            }
        }
        resultado.push_back(caracter(teclas.at(posicion)));
    }
    return resultado;
}

void envia(const std::vector<Tecla> &teclas)
{
    for (const Tecla &tecla : teclas) {
        QWidget *destino = QApplication::focusWidget();
        if (!destino)
            return;
        QKeyEvent pulsada(QEvent::KeyPress, tecla.codigo, Qt::NoModifier, tecla.texto);
        QApplication::sendEvent(destino, &pulsada);
        // The press may have moved the focus (Tab) or closed the window (Enter).
        if (QWidget *ahora = QApplication::focusWidget(); ahora == destino) {
            QKeyEvent soltada(QEvent::KeyRelease, tecla.codigo, Qt::NoModifier, tecla.texto);
            QApplication::sendEvent(destino, &soltada);
        }
    }
}

} // namespace Servicios::Teclas
