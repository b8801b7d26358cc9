#include "runtime/colors.h"

#include "runtime/error.h"

#include <array>

namespace Runtime {
namespace {

constexpr quint32 systemColorFlag = 0x80000000u;
constexpr quint32 lastSystemColor = 0x80000018u;

QColor systemColor(quint32 index, const QPalette &palette)
{
    // The classic system colour indexes, each matched with the palette role that plays
    // the same part on this desktop.
    using Role = QPalette::ColorRole;
    static constexpr std::array<Role, 25> roles = {
        Role::Mid,             // scroll bar
        Role::Window,          // desktop
        Role::Highlight,       // active caption
        Role::Mid,             // inactive caption
        Role::Window,          // menu
        Role::Base,            // window
        Role::Shadow,          // window frame
        Role::WindowText,      // menu text
        Role::Text,            // window text
        Role::HighlightedText, // caption text
        Role::Mid,             // active border
        Role::Midlight,        // inactive border
        Role::Dark,            // application workspace
        Role::Highlight,       // highlight
        Role::HighlightedText, // highlighted text
        Role::Button,          // button face
        Role::Dark,            // button shadow
        Role::PlaceholderText, // grey text
        Role::ButtonText,      // button text
        Role::WindowText,      // inactive caption text
        Role::Light,           // button highlight
        Role::Shadow,          // 3D dark shadow
        Role::Midlight,        // 3D light
        Role::ToolTipText,     // tooltip text
        Role::ToolTipBase,     // tooltip background
    };
    return palette.color(roles.at(index));
}

} // namespace

bool isValidColorReference(qint32 reference)
{
    const auto bits = quint32(reference);
    return bits <= 0x00FFFFFFu || (bits >= systemColorFlag && bits <= lastSystemColor);
}

QColor toQColor(qint32 reference, const QPalette &palette)
{
    if (!isValidColorReference(reference))
        raise(ErrorNumber::InvalidPropertyValue);
    const auto bits = quint32(reference);
    if (bits & systemColorFlag)
        return systemColor(bits & 0xFFu, palette);
    return QColor(int(bits & 0xFFu), int((bits >> 8) & 0xFFu), int((bits >> 16) & 0xFFu));
}

qint32 toColorReference(const QColor &color)
{
    return qint32(quint32(color.red()) | quint32(color.green()) << 8 | quint32(color.blue()) << 16);
}

} // namespace Runtime
