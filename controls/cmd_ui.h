#pragma once

// What a command handler reports when asked about a command's state rather
// than to run it: whether it is enabled and, for commands with a mark,
// whether the mark is set. A handler that does not know the command leaves
// it untouched and answers false.
struct CCmdUI {
    bool enabled = false;
    int checked = -1;  // -1: the command has no mark; 0 or 1 otherwise

    void Enable(bool on) { enabled = on; }
    void SetCheck(bool on) { checked = on ? 1 : 0; }
};
