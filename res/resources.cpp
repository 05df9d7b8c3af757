#include "res/resources.h"

#include <cstdarg>
#include <cstdio>

#include "platform/os/paths.h"
#include "res/qt_language.h"
#include "res/resource_format.h"
#include "res/vector_icon_engine.h"
#include "res/vector_renderer.h"

namespace res {

namespace {

QString FromUtf8(const char* text) {
    return text != nullptr ? QString::fromUtf8(text) : QString();
}

}  // namespace

Resources& Resources::Instance() {
    static Resources instance;
    return instance;
}

Resources::Resources() {
    std::string error;
    if (!lookup_.SetBuiltin(SorvaneBuiltinResourceSet(), &error)) {
        // Only a faulty build gets here; every lookup then answers empty.
        std::fprintf(stderr, "Sorvane: built-in resources unusable: %s\n", error.c_str());
    }
}

// ---- language library ----------------------------------------------------

LibraryStatus Resources::LoadLanguage(int code, const std::string& folder) {
    if (code == kLanguageJapanese) {
        UnloadLanguageLibrary();
        languageError_.clear();
        return LibraryStatus::Loaded;
    }
    const std::string path = LanguageLibraryPath(folder.empty() ? os::ProgramDir() : folder, code);
    if (path.empty()) {
        UnloadLanguageLibrary();
        languageError_ = "no resource library for language code " + std::to_string(code);
        return LibraryStatus::NotFound;
    }
    return LoadLanguageLibrary(path);
}

LibraryStatus Resources::LoadLanguageLibrary(const std::string& path) {
    UnloadLanguageLibrary();
    LibraryStatus status = library_.Load(path);
    languageError_ = library_.Error();
    if (status != LibraryStatus::Loaded) {
        return status;
    }
    std::string error;
    if (!lookup_.SetLanguage(library_.Set(), &error)) {
        languageError_ = path + ": " + error;
        library_.Unload();
        return LibraryStatus::BadSet;
    }
    commandImagesBuilt_ = false;
    return LibraryStatus::Loaded;
}

void Resources::UnloadLanguageLibrary() {
    lookup_.SetLanguage(nullptr, nullptr);
    library_.Unload();
    commandImagesBuilt_ = false;
    commandImages_.clear();
}

const std::vector<std::string>& Resources::LanguageProblems() const {
    return lookup_.Language().Problems();
}

uint32_t Resources::LanguageId() const {
    return lookup_.HasLanguage() ? lookup_.Language().Language() : lookup_.Builtin().Language();
}

// ---- strings ---------------------------------------------------------------

QString Resources::String(uint32_t id) const {
    return FromUtf8(lookup_.String(id));
}

QStringList Resources::StringList(uint32_t id, QChar separator, bool skipEmpty) const {
    return String(id).split(separator, skipEmpty ? Qt::SkipEmptyParts : Qt::KeepEmptyParts);
}

QString Resources::Prompt(uint32_t commandId) const {
    return QString::fromStdString(lookup_.Prompt(commandId));
}

QString Resources::Tooltip(uint32_t commandId) const {
    return QString::fromStdString(lookup_.Tooltip(commandId));
}

QString Resources::Format(uint32_t id, ...) const {
    const char* format = lookup_.String(id);
    if (format == nullptr) {
        return QString();
    }
    va_list args;
    va_start(args, id);
    std::string text = VFormatText(format, args);
    va_end(args);
    return QString::fromStdString(text);
}

QString Resources::Message(uint32_t id, const QString& arg1, const QString& arg2) const {
    const QString text = String(id);
    if (!text.contains(u"%2")) {
        return text.contains(u"%1") ? text.arg(arg1) : text;
    }
    return text.arg(arg1, arg2);
}

// ---- dialogs ---------------------------------------------------------------

QString Resources::DialogCaption(uint32_t dialogId) const {
    return FromUtf8(lookup_.DialogCaption(dialogId));
}

QString Resources::DialogText(uint32_t dialogId, uint32_t controlId) const {
    return FromUtf8(lookup_.DialogText(dialogId, controlId));
}

QString Resources::DialogData(uint32_t dialogId, uint32_t controlId) const {
    const SorvaneResControl* control = lookup_.Control(dialogId, controlId);
    return control != nullptr && control->data != nullptr && IsValidUtf8(control->data)
               ? QString::fromUtf8(control->data)
               : QString();
}

QFont Resources::DialogFont(uint32_t dialogId) const {
    QFont font;
    const SorvaneResDialog* dialog = lookup_.Dialog(dialogId);
    if (dialog == nullptr) {
        return font;
    }
    QStringList families;
    if (dialog->fontFace != nullptr && IsValidUtf8(dialog->fontFace)) {
        families << QString::fromUtf8(dialog->fontFace);
    }
    // The dialog faces of the original platform are rarely installed here;
    // these keep Japanese and Chinese text in a matching sans-serif face,
    // with the forms of the language in use first.
    families << CjkFamilies(LanguageId()) << QStringLiteral("Noto Sans");
    font.setFamilies(families);
    font.setStyleHint(QFont::SansSerif);
    if (dialog->fontSize > 0 && dialog->fontSize < 72) {
        font.setPointSize(dialog->fontSize);
    }
    return font;
}

// ---- menus, toolbars, accelerators -------------------------------------------

ToolbarDef Resources::Toolbar(uint32_t id) const {
    ToolbarDef def;
    const SorvaneResToolbar* toolbar = lookup_.Toolbar(id);
    if (toolbar == nullptr) {
        return def;
    }
    def.id = toolbar->id;
    def.buttonSize = QSize(toolbar->buttonWidth, toolbar->buttonHeight);
    def.buttons.assign(toolbar->buttons, toolbar->buttons + toolbar->buttonCount);
    def.bitmap = toolbar->bitmap;
    def.disabledBitmap = toolbar->disabledBitmap;
    return def;
}

std::vector<Accelerator> Resources::Accelerators(uint32_t tableId) const {
    std::vector<Accelerator> result;
    const SorvaneResAccelTable* table = lookup_.AccelTable(tableId);
    if (table == nullptr) {
        return result;
    }
    for (uint32_t i = 0; i < table->entryCount; ++i) {
        const SorvaneResAccel& entry = table->entries[i];
        if (entry.key == nullptr || entry.command == 0 || !IsValidUtf8(entry.key)) {
            continue;
        }
        QKeySequence key =
            QKeySequence::fromString(QString::fromUtf8(entry.key), QKeySequence::PortableText);
        // One key per accelerator; a text that does not parse gives an
        // empty or unknown key and is left out.
        if (key.count() != 1 || key[0].key() == Qt::Key_unknown) {
            continue;
        }
        result.push_back({key, entry.command});
    }
    return result;
}

// ---- images -------------------------------------------------------------------

QIcon Resources::Icon(uint32_t iconId) const {
    const SorvaneResImage* image = lookup_.ImageSource(lookup_.Image(iconId, SORVANE_IMAGE_ICON));
    return image != nullptr ? QIcon(new VectorIconEngine(image, 0)) : QIcon();
}

QIcon Resources::CellIcon(uint32_t imageId, uint32_t cell, uint32_t disabledImageId) const {
    const SorvaneResImage* normal = lookup_.ImageSource(lookup_.Image(imageId));
    if (normal == nullptr || cell >= CellCount(*normal)) {
        return QIcon();
    }
    const SorvaneResImage* disabled = lookup_.Image(disabledImageId);
    if (disabled != nullptr && (disabled->flags & SORVANE_IMAGE_DISABLED) != 0) {
        // A derived disabled strip: the engine derives the look itself.
        disabled = nullptr;
    }
    return QIcon(new VectorIconEngine(normal, cell, disabled, cell));
}

void Resources::BuildCommandImages() const {
    commandImages_.clear();
    if (const SorvaneResImage* menuImages = lookup_.Image(IDB_MENU_IMAGES)) {
        if (menuImages->commands != nullptr) {
            const uint32_t count = CellCount(*menuImages);
            for (uint32_t cell = 0; cell < count; ++cell) {
                if (menuImages->commands[cell] != 0) {
                    commandImages_.emplace(menuImages->commands[cell],
                                           CommandImage{IDB_MENU_IMAGES, cell, 0});
                }
            }
        }
    }
    std::vector<uint32_t> toolbarIds = lookup_.Builtin().ToolbarIds();
    for (uint32_t id : lookup_.Language().ToolbarIds()) {
        toolbarIds.push_back(id);
    }
    for (uint32_t id : toolbarIds) {
        const SorvaneResToolbar* toolbar = lookup_.Toolbar(id);
        if (toolbar == nullptr) {
            continue;
        }
        uint32_t cell = 0;
        for (uint32_t i = 0; i < toolbar->buttonCount; ++i) {
            const uint32_t command = toolbar->buttons[i];
            if (command == 0) {
                continue;
            }
            commandImages_.emplace(command,
                                   CommandImage{toolbar->bitmap, cell, toolbar->disabledBitmap});
            ++cell;
        }
    }
    commandImagesBuilt_ = true;
}

CommandImage Resources::FindCommandImage(uint32_t commandId) const {
    if (!commandImagesBuilt_) {
        BuildCommandImages();
    }
    auto it = commandImages_.find(commandId);
    return it != commandImages_.end() ? it->second : CommandImage{};
}

QIcon Resources::CommandIcon(uint32_t commandId) const {
    CommandImage found = FindCommandImage(commandId);
    return found.image != 0 ? CellIcon(found.image, found.cell, found.disabledImage) : QIcon();
}

QPixmap Resources::Pixmap(uint32_t imageId, qreal dpr) const {
    const SorvaneResImage* image = lookup_.Image(imageId);
    const SorvaneResImage* source = lookup_.ImageSource(image);
    if (source == nullptr) {
        return QPixmap();
    }
    return QPixmap::fromImage(RenderImage(*source, dpr, source != image));
}

QImage Resources::Image(uint32_t imageId, QSize size, qreal dpr) const {
    const SorvaneResImage* image = lookup_.Image(imageId);
    const SorvaneResImage* source = lookup_.ImageSource(image);
    if (source == nullptr) {
        return QImage();
    }
    const bool disabled = source != image;
    if (CellCount(*source) == 1) {
        return RenderCell(*source, 0, size, dpr, disabled);
    }
    QImage whole = RenderImage(*source, dpr, disabled);
    if (!size.isEmpty() && !whole.isNull()) {
        whole = whole.scaled(size * dpr, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        whole.setDevicePixelRatio(dpr);
    }
    return whole;
}

QSize Resources::ImageCellSize(uint32_t imageId) const {
    const SorvaneResImage* source = lookup_.ImageSource(lookup_.Image(imageId));
    return source != nullptr ? CellSize(*source) : QSize();
}

QString Resources::VersionText() const {
    const SorvaneResVersion v = Version();
    return QStringLiteral("%1.%2.%3.%4").arg(v.major).arg(v.minor).arg(v.build).arg(v.revision);
}

}  // namespace res
