// The tool-bar icons and the About box's logo, drawn in code so the player
// carries no image files of its own.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace quorrel {

enum class IconKind { Settings, Run, Stop, Pause, Exit };

// A tool-bar icon, drawn at the size it is shown at.
QIcon tool_icon(IconKind kind);
// The Quorrel logo: a ball on a slope with its velocity arrow.
QPixmap quorrel_logo(int size);

}  // namespace quorrel
