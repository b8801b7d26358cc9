#pragma once

#include <QLoggingCategory>
#include <QStringList>

namespace Pruebas {

// Records what the program writes to its log under one category ("default" for plain
// qWarning and the like) while it lives; one at a time.
class Bitacora
{
public:
    explicit Bitacora(const char *categoria)
    {
        s_categoria = categoria;
        s_lineas.clear();
        m_anterior = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &contexto, const QString &linea) {
            if (qstrcmp(contexto.category, s_categoria) == 0)
                s_lineas << linea;
        });
    }
    ~Bitacora() { qInstallMessageHandler(m_anterior); }
    Q_DISABLE_COPY_MOVE(Bitacora)

    const QStringList &lineas() const { return s_lineas; }
    void olvida() { s_lineas.clear(); }

private:
    static inline QStringList s_lineas;
    static inline const char *s_categoria = nullptr;
    QtMessageHandler m_anterior;
};

} // namespace Pruebas
