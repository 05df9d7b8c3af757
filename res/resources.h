#pragma once

#include <QFont>
#include <QIcon>
#include <QImage>
#include <QKeySequence>
#include <QPixmap>
#include <QSize>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "res/ids.h"
#include "res/language_library.h"
#include "res/resource_lookup.h"

namespace res {

// A toolbar as the set describes it.
struct ToolbarDef {
    uint32_t id = 0;
    QSize buttonSize;
    std::vector<uint32_t> buttons;  // command ids in order, 0 = separator
    uint32_t bitmap = 0;
    uint32_t disabledBitmap = 0;
    bool IsValid() const { return id != 0; }
};

// One accelerator: the key and the command it sends.
struct Accelerator {
    QKeySequence key;
    uint32_t command = 0;
};

// Where a command's image is: a cell of a strip and, for toolbars, the
// matching cell of the disabled strip.
struct CommandImage {
    uint32_t image = 0;
    uint32_t cell = 0;
    uint32_t disabledImage = 0;
};

// The program's resources: the built-in Japanese set, with the chosen
// language library's set in front of it. Everything visible in the user
// interface is looked up here by identifier.
//
// Use from the user-interface thread. The QString, QIcon and QPixmap
// conversions live here; the plain lookups are ResourceLookup's.
class Resources {
public:
    // The process-wide instance, built on first use with the built-in set.
    static Resources& Instance();

    // An independent instance over the built-in set (tests, tools).
    Resources();
    Resources(const Resources&) = delete;
    Resources& operator=(const Resources&) = delete;

    // ---- language library ----------------------------------------------
    // Loads the library of a language code (1..4) from folder, by default
    // the program's folder. Code 0 and unknown codes unload any library and
    // report NotFound for unknown codes, Loaded for 0.
    LibraryStatus LoadLanguage(int code, const std::string& folder = {});
    // Loads the library file at path and puts its set in front of the
    // built-in one. On any failure the built-in set stays alone.
    LibraryStatus LoadLanguageLibrary(const std::string& path);
    void UnloadLanguageLibrary();
    bool HasLanguageLibrary() const { return lookup_.HasLanguage(); }
    // Why the last load failed (empty after success).
    const std::string& LanguageError() const { return languageError_; }
    // Entries of the language set that were left out (faulty translations).
    const std::vector<std::string>& LanguageProblems() const;
    // Language id of the texts in use: the library's, else 1041.
    uint32_t LanguageId() const;

    const ResourceLookup& Lookup() const { return lookup_; }

    // ---- strings -------------------------------------------------------
    QString String(uint32_t id) const;
    bool HasString(uint32_t id) const { return lookup_.String(id) != nullptr; }
    // The string split at separator ("\n" lists, "\t" toolbar labels);
    // empty pieces are dropped when skipEmpty is set.
    QStringList StringList(uint32_t id, QChar separator = u'\n', bool skipEmpty = true) const;
    QString Prompt(uint32_t commandId) const;
    QString Tooltip(uint32_t commandId) const;
    // printf formatting of one of the program's formats (identifiers
    // 20000..20999); pass the arguments its built-in text names.
    QString Format(uint32_t id, ...) const;
    // A message with %1, %2 placeholders (string 371) filled in one pass,
    // so that an argument holding "%2" stays as it is.
    QString Message(uint32_t id, const QString& arg1, const QString& arg2 = QString()) const;

    // ---- dialogs -------------------------------------------------------
    QString DialogCaption(uint32_t dialogId) const;
    QString DialogText(uint32_t dialogId, uint32_t controlId) const;
    // A control's initialisation data (the link target of the mail link).
    QString DialogData(uint32_t dialogId, uint32_t controlId) const;
    // The dialog's font; the family falls back to the system's choice for
    // CJK text when the face is not installed.
    QFont DialogFont(uint32_t dialogId) const;

    // ---- menus, toolbars, accelerators -------------------------------
    const SorvaneResMenu* Menu(uint32_t id) const { return lookup_.Menu(id); }
    ToolbarDef Toolbar(uint32_t id) const;
    // The accelerator table; entries whose key text does not parse are left out.
    std::vector<Accelerator> Accelerators(uint32_t tableId) const;

    // ---- images --------------------------------------------------------
    // An icon resource (application and window icons).
    QIcon Icon(uint32_t iconId) const;
    // One cell of a strip as an icon, with the disabled strip's cell for the
    // disabled mode (0: derived from the normal cell).
    QIcon CellIcon(uint32_t imageId, uint32_t cell, uint32_t disabledImageId = 0) const;
    // The image of a command: the main frame's menu images first, then the
    // toolbar strips. Null icon when the command has none.
    QIcon CommandIcon(uint32_t commandId) const;
    CommandImage FindCommandImage(uint32_t commandId) const;
    // The whole image (a picture, or a strip with all cells) at its design
    // size for a device-pixel ratio.
    QPixmap Pixmap(uint32_t imageId, qreal dpr = 1.0) const;
    // The whole image scaled to size (logical pixels; empty = design size).
    QImage Image(uint32_t imageId, QSize size = QSize(), qreal dpr = 1.0) const;
    // Design size of one cell of an image; empty when missing.
    QSize ImageCellSize(uint32_t imageId) const;

    // ---- version -------------------------------------------------------
    SorvaneResVersion Version() const { return lookup_.Version(); }
    QString VersionText() const;  // "1.3.0.0"

private:
    void BuildCommandImages() const;

    ResourceLookup lookup_;
    LanguageLibrary library_;
    std::string languageError_;
    mutable bool commandImagesBuilt_ = false;
    mutable std::unordered_map<uint32_t, CommandImage> commandImages_;
};

}  // namespace res
