#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>

#include "res/resources.h"
#include "ui/dialogs/send_message_dlg.h"
#include "ui/frame/frame_texts.h"
#include "ui/frame/main_frame.h"
#include "ui/frame/user_events.h"
#include "ui/frame/windows_dialog.h"

// The main frame's commands: one table from command id to what it does,
// whether it is enabled, its mark and its text, built once when the frame is
// created. Menus, toolbar buttons, accelerators and context menus all go
// through it.

namespace {

CCmdUI Enabled(bool on) {
    CCmdUI ui;
    ui.Enable(on);
    return ui;
}

}  // namespace

void CMainFrame::AddCommand(uint32_t id, CommandRun run, CommandStateFn state, CommandText text) {
    AddCommands(id, id, std::move(run), std::move(state), std::move(text));
}

void CMainFrame::AddCommands(uint32_t first, uint32_t last, CommandRun run, CommandStateFn state,
                             CommandText text) {
    for (uint32_t id = first; id <= last; ++id) {
        commands_[id] = CommandEntry{run, state, text};
    }
}

void CMainFrame::BuildCommandTable() {
    commands_.clear();
    const auto always = [](uint32_t) { return Enabled(true); };
    const auto whenIdle = [this](uint32_t) { return Enabled(!backend_->Connected()); };

    // ---- communication ----
    AddCommand(
        ID_COMM_START, [this](uint32_t) { StartCommunication(); }, whenIdle);
    AddCommand(
        ID_COMM_STOP, [this](uint32_t) { StopCommunication(); },
        [this](uint32_t) { return Enabled(backend_->Connected()); });
    AddCommand(
        ID_COMM_RESET, [this](uint32_t) { backend_->ResetCommunication(); }, whenIdle);
    AddCommands(
        ID_BUS_ONOFF_CAN1, ID_BUS_ONOFF_CAN5,
        [this](uint32_t id) { backend_->ToggleBus(static_cast<int>(id - ID_BUS_ONOFF_CAN1)); },
        [this](uint32_t id) {
            const int c = static_cast<int>(id - ID_BUS_ONOFF_CAN1);
            return Enabled(backend_->Connected() && backend_->Channel(c).enabled != 0 &&
                           backend_->ChannelActive(c));
        },
        [this](uint32_t id) {
            // A disabled entry keeps the text it had.
            const int c = static_cast<int>(id - ID_BUS_ONOFF_CAN1);
            return IsCommandEnabled(id) ? frame_texts::BusMenuText(c, backend_->ChannelBusOn(c))
                                        : QString();
        });

    // ---- CANdb and environment files ----
    AddCommand(
        ID_CANDB_OPEN, [this](uint32_t) { OpenCandbFromDialog(); },
        [this](uint32_t) { return Enabled(backend_->CandbLibraryLoaded()); });
    AddCommands(
        ID_CANDB_RECENT1, ID_CANDB_RECENT4,
        [this](uint32_t id) {
            const std::string path = RecentEntry(id - ID_CANDB_RECENT1);
            if (!path.empty()) {
                OpenCandbFile(QString::fromStdString(path));
            }
        },
        [this](uint32_t id) {
            const std::string path = RecentEntry(id - ID_CANDB_RECENT1);
            return Enabled(!path.empty() && QFileInfo::exists(QString::fromStdString(path)));
        },
        [this](uint32_t id) {
            const std::string path = RecentEntry(id - ID_CANDB_RECENT1);
            // "&" in a path is not a mnemonic.
            return path.empty() ? res::Resources::Instance().String(IDS_RECENT_NONE)
                                : QString::fromStdString(path).replace(u'&', QStringLiteral("&&"));
        });
    AddCommand(
        ID_ENV_IMPORT, [this](uint32_t) { ImportFromDialog(); }, whenIdle);
    AddCommand(
        ID_ENV_EXPORT, [this](uint32_t) { ExportFromDialog(); }, whenIdle);

    // ---- dialogs ----
    AddCommand(
        ID_OPTIONS,
        [this](uint32_t) {
            const uint32_t look = backend_->AppLook();
            if (options_ && options_()) {
                if (backend_->AppLook() != look) {
                    ApplyLook(backend_->AppLook());
                }
                PostToViews(kEventSettingsChanged);
                RefreshStatus(false, true, false);
            }
        },
        [this](uint32_t) {
            return Enabled(!backend_->Connected() && static_cast<bool>(options_));
        });
    AddCommand(
        ID_SEND_MESSAGE,
        [this](uint32_t) {
            if (sendMessage_) {
                sendMessage_();
            } else {
                ShowSendMessageDialog(*backend_, this);
            }
        },
        [this](uint32_t) { return Enabled(backend_->Connected()); });
    AddCommand(
        ID_APP_ABOUT,
        [this](uint32_t) {
            if (about_) {
                about_();
            }
        },
        [this](uint32_t) { return Enabled(static_cast<bool>(about_)); });
    AddCommand(
        ID_APP_EXIT, [this](uint32_t) { close(); }, always);

    // ---- look and windows ----
    AddCommands(
        ID_VIEW_APPLOOK_WIN_2000, ID_VIEW_APPLOOK_WINDOWS_7, [this](uint32_t id) { ApplyLook(id); },
        [this](uint32_t id) {
            CCmdUI ui = Enabled(true);
            ui.SetCheck(id == backend_->AppLook());
            return ui;
        });
    AddCommand(
        ID_WINDOW_MANAGER,
        [this](uint32_t) {
            CWindowsDialog dialog(mdi_, this);
            dialog.exec();
        },
        always);
    const auto arrange = [this](uint32_t id) {
        // View frames cannot be closed, only minimised: arranging them
        // brings the minimised ones back as well.
        for (QMdiSubWindow* window : mdi_->subWindowList()) {
            if (window->isMinimized()) {
                window->showNormal();
            }
        }
        if (id == ID_WINDOW_CASCADE) {
            mdi_->cascadeSubWindows();
        } else {
            mdi_->tileSubWindows();
        }
    };
    AddCommand(ID_WINDOW_CASCADE, arrange, always);
    AddCommand(ID_WINDOW_TILE_HORZ, arrange, always);

    // ---- the view frames' commands go to the frame they belong to ----
    const auto addView = [this](int view, uint32_t first, uint32_t last) {
        AddCommands(
            first, last, [this, view](uint32_t id) { RouteToView(view, id, nullptr); },
            [this, view](uint32_t id) {
                CCmdUI ui;
                // No entry: not handled, shown disabled.
                return RouteToView(view, id, &ui) ? ui : CCmdUI{};
            });
    };
    addView(0, ID_MONITOR_FIRST, ID_MONITOR_LAST);
    addView(1, ID_BUSLOAD_FIRST, ID_BUSLOAD_LAST);
    addView(1, ID_BUSLOAD_LINE_ALL, ID_BUSLOAD_LINE_ALL);
    addView(2, ID_STATISTICS_FIRST, ID_STATISTICS_LAST);
    addView(3, ID_MESSAGEINFO_FIRST, ID_MESSAGEINFO_LAST);
}

std::string CMainFrame::RecentEntry(size_t n) const {
    const std::vector<std::string> recent = backend_->RecentCandb();
    return n < recent.size() ? recent[n] : std::string();
}

bool CMainFrame::RouteToView(int index, uint32_t id, CCmdUI* ui) const {
    if (index < 0 || index >= kViewFrameCount || !views_[index] || !viewHandlers_[index]) {
        return false;
    }
    return viewHandlers_[index](id, ui);
}

CCmdUI CMainFrame::CommandState(uint32_t id) const {
    const auto it = commands_.find(id);
    if (it == commands_.end() || !it->second.state || backend_ == nullptr) {
        return CCmdUI{};
    }
    return it->second.state(id);
}

bool CMainFrame::IsCommandEnabled(uint32_t id) const {
    return CommandState(id).enabled;
}

void CMainFrame::OnCommand(uint32_t id) {
    const auto it = commands_.find(id);
    if (it != commands_.end() && it->second.run && backend_ != nullptr) {
        // A copy: the command may rebuild what the table's entry refers to.
        const std::function<void(uint32_t)> run = it->second.run;
        run(id);
    }
    UpdateCommandUi();
}

void CMainFrame::UpdateCommandUi() {
    if (backend_ == nullptr) {
        return;
    }
    for (auto& [id, action] : actions_) {
        if (!action) {
            continue;
        }
        const auto it = commands_.find(id);
        if (it == commands_.end()) {
            action->setEnabled(false);
            continue;
        }
        const CCmdUI ui = it->second.state ? it->second.state(id) : CCmdUI{};
        action->setEnabled(ui.enabled);
        if (ui.checked >= 0) {
            action->setCheckable(true);
            action->setChecked(ui.checked == 1);
        }
        if (it->second.text) {
            const QString text = it->second.text(id);
            if (!text.isNull()) {
                action->setText(text);
            }
        }
    }
    for (const QPointer<CChildFrmBase>& frame : frames_) {
        if (frame) {
            frame->UpdateToolBarUi();
        }
    }
}
