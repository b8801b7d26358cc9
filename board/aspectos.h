#pragma once

#include <QStringList>
#include <QVariant>

#include <functional>
#include <optional>
#include <vector>

namespace Ado {
class Connection;
}
namespace Kit {
class TextTable;
}

// The looks of the listed opportunities, read from the listed folios themselves: each row
// gets the look its folio's state has, whatever the view's SQL, as colouring that row on its
// own would give it. Uses only the connection it is given, so it runs on any thread.
namespace Aspectos {

struct Aspecto
{
    int color = 0; // index into Leidos::colores
    bool negrilla = false;
};

// A number per row and each look once: millions of rows in a few looks take four bytes a row,
// and a list takes them as they are.
struct Leidos
{
    // By the row's place in the table read: 0 when its state has no look, otherwise one more
    // than the place of its look in `aspectos`.
    std::vector<int> porPosicion;
    std::vector<Aspecto> aspectos;
    // Each distinct stored colour once, as stored: converting it is the caller's business.
    std::vector<QVariant> colores;

    std::optional<Aspecto> de(size_t posicion) const
    {
        const int numero = posicion < porPosicion.size() ? porPosicion[posicion] : 0;
        return numero == 0 ? std::nullopt : std::optional(aspectos[size_t(numero) - 1]);
    }
};

// Called every few thousand folios of a long reading: the window may paint meanwhile.
using Avance = std::function<void()>;

// The looks of the rows of a table whose first column is the folio. A folio listed twice
// gets its look twice; a folio with several looks, the first the database returns.
Leidos lee(Ado::Connection &conexion, const Kit::TextTable &filas, const Avance &avance = {});

} // namespace Aspectos
