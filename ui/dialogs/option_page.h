#pragma once

#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>

class QLabel;
struct AppSettings;

// What the pages of the options sheet work on: the settings record, the
// save of chosen groups to the current store, and whether communication
// runs (the channel pages are then read-only).
struct COptionContext {
    AppSettings* settings = nullptr;
    std::function<bool(uint32_t groups)> save;
    std::function<bool()> communicating;
};

// One page of the options sheet. A page is built when the sheet is, fills its
// controls the first time it is shown, and only a page that was shown is
// checked and applied when the sheet closes with OK.
class COptionPage : public QWidget {
    Q_OBJECT
public:
    // Where a page stands in the sheet: Common 0, Colour 1, CAN pages 2 + channel.
    static constexpr int kPositionCommon = 0;
    static constexpr int kPositionColor = 1;
    static constexpr int kPositionCan1 = 2;

    // A check that failed: the message to show and the control to focus.
    struct Failure {
        uint32_t messageId = 0;
        QWidget* control = nullptr;
        explicit operator bool() const { return messageId != 0; }
    };

    COptionPage(int position, uint32_t captionId, const COptionContext& context,
                QWidget* parent = nullptr);

    int Position() const { return position_; }
    uint32_t CaptionId() const { return captionId_; }
    bool Initialized() const { return initialized_; }
    // Fills the controls unless that has been done.
    void EnsureInitialized();

    // The page's controls against their rules; nothing is changed.
    virtual Failure Validate() const { return {}; }
    // Takes the controls into the settings (after every shown page passed).
    virtual void OnApply() {}

protected:
    virtual void OnInitDialog() {}
    void showEvent(QShowEvent* event) override;

    AppSettings& Settings() const { return *context_.settings; }
    const COptionContext& Context() const { return context_; }
    bool Communicating() const { return context_.communicating && context_.communicating(); }

private:
    int position_;
    uint32_t captionId_;
    COptionContext context_;
    bool initialized_ = false;
};

namespace option_page {

// A control of a page; its id is its object name.
template <class Widget>
Widget* MakeControl(QWidget* page, uint32_t id) {
    auto* widget = new Widget(page);
    widget->setObjectName(QString::number(id));
    return widget;
}
// A label with its text from the dialog's resources.
QLabel* MakeLabel(QWidget* page, uint32_t dialogId, uint32_t id);
// Red text for a note label.
void MakeRed(QWidget* label);

}  // namespace option_page
