#pragma once

#include "basedeprueba.h"
#include "mensajes.h"

#include "publico.h"

#include <QApplication>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace Pruebas {

// A fresh database and a module whose message box only records.
class Selectores : public testing::Test
{
protected:
    void SetUp() override { entorno = &iniciaModuloConGrabador(); }
    void TearDown() override { Publico::Termina(); }

    // The one message shown, as a picker's trap reports a failure (its text only when given).
    void esperaFalla(const QWidget *formulario, const QString &titulo, const QString &idError,
                     const QString &texto = QString()) const
    {
        ASSERT_EQ(entorno->identificadores(), QStringList{idError});
        const MensajeMostrado &mensaje = entorno->mensajes.front();
        EXPECT_TRUE(esComo(mensaje, {idError, Servicios::Estilo::Critico, titulo, texto}));
        EXPECT_TRUE(mensaje.modulo == u"KLD251" && mensaje.propietario == formulario) << mensaje.modulo.toStdString();
    }

    BaseDePrueba base;
    EntornoGrabador *entorno = nullptr;
};

// What became of a modal dialog answered by a test.
struct Modal
{
    bool mostrado = false;     // it was the active modal dialog when the answer came
    bool sigueAbierto = false; // the answer did not close it (the test then hid it)
};

// Answers the modal dialog as soon as it is shown. A dialog the answer leaves open is
// hidden, so the test goes on and can tell.
template<typename Formulario>
std::shared_ptr<Modal> responde(Formulario &formulario, std::function<void(Formulario &)> respuesta)
{
    auto modal = std::make_shared<Modal>();
    QTimer::singleShot(0, &formulario, [&formulario, respuesta, modal] {
        if (QApplication::activeModalWidget() != &formulario)
            return;
        modal->mostrado = true;
        respuesta(formulario);
        modal->sigueAbierto = formulario.isVisible();
        formulario.hide();
    });
    return modal;
}

} // namespace Pruebas
