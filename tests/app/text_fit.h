// Checks a panel the way a user's eye would at any scale: every text a control shows
// (a label, a button's caption, a line's text, a spin box's text and, where the
// user types into it, its text at both ends of its range, each item of a ring) fits inside the part of the
// widget that shows it, and no two visible controls of a panel lie over each other.
#pragma once

#include <QWidget>

#include <string>
#include <vector>

// One line per text that does not fit: "name/CONTROL: "text" needs W x H px, has W x H".
// `panels` holds every panel's widget: the controls of a panel nested in `panel`
// are left to that panel's own check.
std::vector<std::string> clipped_texts(QWidget* panel, const std::string& name,
                                       const std::vector<QWidget*>& panels);
// One line per pair of visible text controls of `panel` whose rectangles intersect.
std::vector<std::string> overlapping_controls(QWidget* panel, const std::string& name);
