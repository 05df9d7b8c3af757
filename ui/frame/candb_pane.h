#pragma once

#include <QDockWidget>
#include <QImage>
#include <QString>
#include <QStringList>

class CStaticTreeCtrl;

// The dockable pane on the left that lists the messages of the CANdb file
// opened last: one root and one child per message, in a static tree. The
// main frame fills it; choosing a message only highlights it.
class CCANdbPane : public QDockWidget {
    Q_OBJECT

public:
    static constexpr int kTreeId = 1;
    // Images of a message node, normal and selected.
    static constexpr int kMessageImage = 0;
    static constexpr int kMessageSelectedImage = 1;
    // The colour of the image strip that stands for transparent.
    static constexpr QRgb kImageMask = 0xFFC0C0C0u;

    explicit CCANdbPane(QWidget* parent = nullptr);
    ~CCANdbPane() override;

    // Replaces the whole tree: the root text, expanded, then one child per
    // message with the message images; nothing selected.
    void Fill(const QString& root, const QStringList& messages);
    // The tree's images from a strip of square cells; a null strip leaves
    // the tree without images. False then.
    bool SetImageStrip(const QImage& strip);
    CStaticTreeCtrl* Tree() const { return tree_; }

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    CStaticTreeCtrl* tree_;
};
