// A new password typed at a terminal: asked twice, never echoed, refused when the two differ.
#include "errores.h"
#include "lecturacontrasena.h"

#include <QByteArray>
#include <QList>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

#include <thread>

namespace {

struct Lectura
{
    QString leida;
    int error = 0;
    QByteArray eco; // what the terminal showed back of what was typed
};

// Reads the password from a terminal whose keyboard types each line once the program has
// asked for it (a question ends in ": ").
Lectura leeEnTerminal(const QList<QByteArray> &lineas)
{
    int teclado = -1;
    int programa = -1;
    int preguntas[2] = {-1, -1};
    EXPECT_EQ(openpty(&teclado, &programa, nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(pipe(preguntas), 0);
    std::FILE *entrada = fdopen(programa, "r");
    std::FILE *avisos = fdopen(preguntas[1], "w");
    std::thread tecleo([&] {
        for (const QByteArray &linea : lineas) {
            char anterior = 0;
            char caracter = 0;
            while (::read(preguntas[0], &caracter, 1) == 1 && !(anterior == ':' && caracter == ' '))
                anterior = caracter;
            EXPECT_EQ(::write(teclado, linea.constData(), size_t(linea.size())), linea.size());
        }
    });
    Lectura lectura;
    lectura.error = Pruebas::errorDe([&] { lectura.leida = leeContrasenaNueva(entrada, avisos); });
    std::fclose(avisos);
    tecleo.join();
    fcntl(teclado, F_SETFL, O_NONBLOCK);
    char eco[256];
    lectura.eco = QByteArray(eco, std::max<ssize_t>(::read(teclado, eco, sizeof eco), 0));
    std::fclose(entrada);
    ::close(teclado);
    ::close(preguntas[0]);
    return lectura;
}

TEST(LecturaDeContrasena, fromATerminalItAsksTwiceWithoutEchoAndRefusesTwoThatDiffer)
{
    const Lectura iguales = leeEnTerminal({"Clave'1\n", "Clave'1\n"});
    const Lectura distintas = leeEnTerminal({"Clave'1\n", "Clave'2\n"});
    EXPECT_EQ(iguales.leida, "Clave'1");
    EXPECT_EQ(std::pair(iguales.error, distintas.error), std::pair(0, int(Runtime::ErrorNumber::InvalidCall)));
    EXPECT_FALSE((iguales.eco + distintas.eco).contains("Clave")) << (iguales.eco + distintas.eco).toStdString();
}

} // namespace
