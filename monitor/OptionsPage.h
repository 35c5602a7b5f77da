// What the options screen shows, as text: the monitor composes it into its
// screen texture with the glyph atlas. Decided by the options screen, drawn
// by the monitor; nothing here knows of either.
#pragma once

#include <string>
#include <vector>

// How many rows the monitor's page shows at once.
constexpr int kOptionsVisibleRows = 14;

struct OptionsRow {
  std::string label; // the action or setting, German
  std::string keys;  // keyboard binding(s), or the setting's value
  std::string pad;   // pad binding(s); empty for settings
  bool selected = false;
  bool waiting = false;    // a rebinding waits for a key or pad button on this row
  bool keysMarked = false; // lost its key to another action, and has none
  bool padMarked = false;  // lost its pad control to another action, and has none
  bool locked = false;     // shown, never changed (Escape, the options key)
};

struct OptionsPage {
  std::string title;
  std::string keysHeading; // the column headings
  std::string padHeading;
  std::vector<OptionsRow> rows;
  int firstVisibleRow = 0; // the rows scroll with the selection: rows from here on are shown
  std::string notice;      // what the last action did (a conflict, a refusal), or empty
  std::string help;        // the keys of the screen
};
