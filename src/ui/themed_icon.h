// SPDX-License-Identifier: GPL-3.0-or-later
// Command icons drawn from the SVG files in the resources, in the colours of
// the current palette, so they stay sharp at any size and legible on light
// and dark desktops.
#pragma once

#include <QIcon>
#include <QString>

// The icon of a command (":/icons/ID.svg"), or a null icon when there is none.
// Its normal image draws the outlines in the palette's text colour, the hot
// (active) image in the highlight colour, and the disabled image greyed.
// hot and disabled false leave those states to the style's defaults.
QIcon ThemedIcon(int commandId, bool hot = true, bool disabled = true);
bool HasCommandIcon(int commandId);
