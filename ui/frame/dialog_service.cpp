#include "ui/frame/dialog_service.h"

#include <QFileDialog>
#include <QRegularExpression>

#include "res/resources.h"

namespace {

CDialogService* installed = nullptr;

QMessageBox::Icon ToQt(CDialogService::Icon icon) {
    switch (icon) {
        case CDialogService::Icon::Error:
            return QMessageBox::Critical;
        case CDialogService::Icon::Warning:
            return QMessageBox::Warning;
        case CDialogService::Icon::Question:
            return QMessageBox::Question;
        case CDialogService::Icon::Information:
            return QMessageBox::Information;
        case CDialogService::Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

QMessageBox::StandardButton CDialogService::ShowMessage(QWidget* parent, const Box& box) {
    QMessageBox message(ToQt(box.icon), res::Resources::Instance().String(IDS_APP_TITLE), box.text,
                        box.buttons, parent);
    if (box.defaultButton != QMessageBox::NoButton) {
        message.setDefaultButton(box.defaultButton);
    }
    if (box.systemModal) {
        message.setWindowModality(Qt::ApplicationModal);
        message.setWindowFlag(Qt::WindowStaysOnTopHint);
    }
    return static_cast<QMessageBox::StandardButton>(message.exec());
}

QString CDialogService::AskFileName(QWidget* parent, const FileRequest& request) {
    const auto& resources = res::Resources::Instance();
    QFileDialog dialog(parent, resources.String(request.titleId), QString(),
                       QtFilter(resources.String(request.filterId)));
    dialog.setDefaultSuffix(request.defaultExtension);
    const QStringList types = dialog.nameFilters();
    if (!request.filterExtensions.isEmpty()) {
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                         [&dialog, &request, types](const QString& type) {
                             const qsizetype i = types.indexOf(type);
                             if (i >= 0 && i < request.filterExtensions.size()) {
                                 dialog.setDefaultSuffix(request.filterExtensions[i]);
                             }
                         });
    }
    if (request.save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return QString();
    }
    if (request.chosenFilter != nullptr) {
        *request.chosenFilter = static_cast<int>(types.indexOf(dialog.selectedNameFilter()));
    }
    return dialog.selectedFiles().first();
}

CDialogService& CDialogService::Current() {
    static CDialogService fallback;
    return installed != nullptr ? *installed : fallback;
}

CDialogService* CDialogService::Install(CDialogService* service) {
    CDialogService* previous = installed;
    installed = service;
    return previous;
}

QMessageBox::StandardButton CDialogService::Message(QWidget* parent, uint32_t stringId, Icon icon,
                                                    QMessageBox::StandardButtons buttons,
                                                    QMessageBox::StandardButton defaultButton,
                                                    bool systemModal) {
    Box box;
    box.stringId = stringId;
    box.text = res::Resources::Instance().String(stringId);
    box.icon = icon;
    box.buttons = buttons;
    box.defaultButton = defaultButton;
    box.systemModal = systemModal;
    return Current().ShowMessage(parent, box);
}

QString CDialogService::QtFilter(const QString& filter) {
    const QStringList parts = filter.split(u'|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        const QString patterns = parts[i + 1].trimmed();
        if (description.isEmpty() || patterns.isEmpty()) {
            break;  // the "||" end
        }
        // Qt reads the patterns from the last parentheses, blank-separated.
        description.remove(QRegularExpression(QStringLiteral("\\s*\\([^()]*\\)\\s*$")));
        filters.append(
            QStringLiteral("%1 (%2)").arg(description, QString(patterns).replace(u';', u' ')));
    }
    return filters.join(QStringLiteral(";;"));
}
