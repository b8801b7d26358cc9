#include "lecturacontrasena.h"

#include "runtime/error.h"

#include <QByteArray>
#include <QScopeGuard>

#include <termios.h>
#include <unistd.h>

namespace {

QString leeLinea(std::FILE *entrada)
{
    QByteArray linea;
    for (int caracter = std::fgetc(entrada); caracter != EOF && caracter != '\n'; caracter = std::fgetc(entrada))
        linea.append(char(caracter));
    if (linea.endsWith('\r'))
        linea.chop(1);
    return QString::fromLocal8Bit(linea);
}

// The terminal's echo is off only while the line is typed, and back on whatever happens.
// Echo goes off (dropping what was typed ahead) before the question shows, so nothing
// typed in answer to it is dropped.
QString leeSinEco(std::FILE *entrada, std::FILE *avisos, const QByteArray &pregunta)
{
    const int descriptor = fileno(entrada);
    termios antes{};
    tcgetattr(descriptor, &antes);
    termios sinEco = antes;
    sinEco.c_lflag &= ~tcflag_t(ECHO);
    tcsetattr(descriptor, TCSAFLUSH, &sinEco);
    const auto restaura = qScopeGuard([&] {
        tcsetattr(descriptor, TCSANOW, &antes);
        std::fputc('\n', avisos);
    });
    std::fputs(pregunta.constData(), avisos);
    std::fflush(avisos);
    return leeLinea(entrada);
}

} // namespace

QString leeContrasenaNueva(const QString &deQuien, std::FILE *entrada, std::FILE *avisos)
{
    if (!isatty(fileno(entrada)))
        return leeLinea(entrada);
    const QString primera = leeSinEco(entrada, avisos,
                                      QStringLiteral("Contraseña nueva %1: ").arg(deQuien).toLocal8Bit());
    const QString segunda = leeSinEco(entrada, avisos, "Escríbala otra vez: ");
    if (primera != segunda)
        Runtime::raise(Runtime::ErrorNumber::InvalidCall,
                       QStringLiteral("Las dos contraseñas no coinciden; no se cambió nada"));
    return primera;
}

std::optional<QString> leeContrasenaDeQuienEjecuta(const QString &usuario, std::FILE *entrada, std::FILE *avisos)
{
    if (!isatty(fileno(entrada)))
        return std::nullopt;
    return leeSinEco(entrada, avisos, QStringLiteral("Contraseña de %1: ").arg(usuario).toLocal8Bit());
}
