// A new password typed at a terminal: asked twice, never echoed, refused when the two differ.
#include "lecturacontrasena.h"

#include "runtime/error.h"

#include <QByteArray>
#include <QList>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

#include <optional>
#include <thread>

namespace {

// A terminal whose keyboard types each line once the program has asked for it.
class Terminal
{
public:
    Terminal()
    {
        EXPECT_EQ(openpty(&m_teclado, &m_programa, nullptr, nullptr, nullptr), 0);
        EXPECT_EQ(pipe(m_preguntas), 0);
        m_entrada = fdopen(m_programa, "r");
        m_avisos = fdopen(m_preguntas[1], "w");
    }
    ~Terminal()
    {
        std::fclose(m_entrada);
        ::close(m_teclado);
        ::close(m_preguntas[0]);
    }

    // Reads the password while the keyboard answers each question with the next line.
    std::optional<QString> lee(const QList<QByteArray> &lineas)
    {
        std::thread teclado([this, lineas] {
            for (const QByteArray &linea : lineas) {
                esperaPregunta();
                EXPECT_EQ(::write(m_teclado, linea.constData(), size_t(linea.size())), linea.size());
            }
        });
        std::optional<QString> leida;
        try {
            leida = leeContrasenaNueva(m_entrada, m_avisos);
        } catch (const Runtime::RuntimeError &) { }
        std::fclose(m_avisos);
        teclado.join();
        return leida;
    }

    // What the terminal showed back of what was typed.
    QByteArray eco() const
    {
        fcntl(m_teclado, F_SETFL, O_NONBLOCK);
        char bytes[256];
        const ssize_t leidos = ::read(m_teclado, bytes, sizeof bytes);
        return leidos > 0 ? QByteArray(bytes, leidos) : QByteArray();
    }

private:
    void esperaPregunta() const
    {
        char anterior = 0;
        char caracter = 0;
        while (::read(m_preguntas[0], &caracter, 1) == 1 && !(anterior == ':' && caracter == ' '))
            anterior = caracter;
    }

    int m_teclado = -1;
    int m_programa = -1;
    int m_preguntas[2] = {-1, -1};
    std::FILE *m_entrada = nullptr;
    std::FILE *m_avisos = nullptr;
};

TEST(LecturaDeContrasena, fromATerminalItAsksTwiceWithoutEchoAndRefusesTwoThatDiffer)
{
    struct Caso
    {
        QList<QByteArray> lineas;
        std::optional<QString> leida;
    };
    const Caso casos[] = {
        {{"Clave'1\n", "Clave'1\n"}, QStringLiteral("Clave'1")},
        {{"Clave'1\n", "Clave'2\n"}, std::nullopt},
    };
    for (const Caso &caso : casos) {
        SCOPED_TRACE(caso.lineas.last().toStdString());
        Terminal terminal;
        EXPECT_EQ(terminal.lee(caso.lineas), caso.leida);
        EXPECT_FALSE(terminal.eco().contains("Clave"));
    }
}

} // namespace
