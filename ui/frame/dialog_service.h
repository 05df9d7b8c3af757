#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <cstdint>

class QWidget;

// Message boxes and file dialogs of the frame and the application. They
// name their texts by string id; the default service shows real dialogs,
// tests install one that records the question and answers it.
class CDialogService {
public:
    enum class Icon { None, Error, Warning, Question, Information };

    struct Box {
        uint32_t stringId = 0;
        QString text;  // the string, already filled in where it has %1, %2
        Icon icon = Icon::None;
        QMessageBox::StandardButtons buttons = QMessageBox::Ok;
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
        bool systemModal = false;
    };

    struct FileRequest {
        uint32_t titleId = 0;
        uint32_t filterId = 0;
        QString defaultExtension;
        bool save = false;
        // The default extension of each file type of the filter, in order;
        // choosing a type takes its extension. Empty: defaultExtension always.
        QStringList filterExtensions;
        // Receives the index of the file type chosen, when not null.
        int* chosenFilter = nullptr;
    };

    virtual ~CDialogService() = default;
    virtual QMessageBox::StandardButton ShowMessage(QWidget* parent, const Box& box);
    // The chosen path, empty when cancelled.
    virtual QString AskFileName(QWidget* parent, const FileRequest& request);

    // The process-wide service; Install replaces it (null restores the
    // default) and returns the previous one.
    static CDialogService& Current();
    static CDialogService* Install(CDialogService* service);

    // Shows string id with the icon and buttons given.
    static QMessageBox::StandardButton Message(
        QWidget* parent, uint32_t stringId, Icon icon,
        QMessageBox::StandardButtons buttons = QMessageBox::Ok,
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton,
        bool systemModal = false);

    // "desc (*.a)|*.a|all (*.*)|*.*||" to Qt's "desc (*.a);;all (*.*)".
    static QString QtFilter(const QString& filter);
};
