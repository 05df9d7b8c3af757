#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "can/can_frame_record.h"
#include "can/channel_settings.h"
#include "settings/frame_placement.h"

class CCanManager;
class CCANdbManager;
struct AppSettings;

// What the main frame drives: the channel manager, the settings record and
// the CANdb manager, seen through the few operations the frame uses. The
// application supplies the real one; tests supply their own.
class CFrameBackend {
public:
    struct CandbMessage {
        std::string name;
        uint32_t id = 0;
    };
    struct CandbResult {
        bool ok = false;
        int errorCode = 0;
        std::string errorText;
        std::vector<CandbMessage> messages;
    };

    virtual ~CFrameBackend() = default;

    // ---- channel manager ----
    virtual bool Connected() const = 0;
    // 0 when the start failed.
    virtual int Start() = 0;
    virtual void Stop() = 0;
    virtual bool ChannelActive(int index) const = 0;
    virtual bool ChannelBusOn(int index) const = 0;
    virtual void ToggleBus(int index) = 0;
    virtual void ResetCommunication() = 0;

    // ---- settings ----
    virtual ChannelSettings Channel(int index) const = 0;
    virtual uint32_t AppLook() const = 0;
    virtual void SetAppLook(uint32_t look) = 0;
    // SaveSettings with the settings file and ENV_APPLOOK.
    virtual void SaveAppLook() = 0;
    virtual std::vector<std::string> RecentCandb() const = 0;
    virtual void SetRecentCandb(const std::vector<std::string>& recent) = 0;
    virtual bool NotConfigured() const = 0;
    // The stored place of view frame index (0 monitor, 1 bus load,
    // 2 statistics, 3 message info).
    virtual FramePlacement Placement(int index) const = 0;
    virtual void SetPlacement(int index, const FramePlacement& placement) = 0;
    // The main window's own layout (size, position, docked panes and bars),
    // kept by name in the saved window layout; empty when none is stored.
    virtual std::vector<uint8_t> WindowLayout(const std::string& name) const = 0;
    virtual void SetWindowLayout(const std::string& name, const std::vector<uint8_t>& data) = 0;
    // LoadSettings with path; false when the file could not be read.
    virtual bool ImportEnvironment(const std::string& path) = 0;
    // All groups to path (settings-file store) or to the registry store.
    virtual bool ExportEnvironment(const std::string& path) = 0;
    // Why the last import or export failed.
    virtual std::string EnvironmentError() const { return {}; }

    // ---- CANdb ----
    virtual bool CandbLibraryLoaded() const = 0;
    virtual CandbResult OpenCandb(const std::string& path) = 0;

    // ---- the core objects themselves ----
    // What the views and dialogs read and change beyond the operations
    // above: the frame list, the message-info table and the statistics of the
    // manager, the colours and limits of the settings record, the loaded
    // database. Null where a backend has none (a test's).
    virtual CCanManager* Manager() { return nullptr; }
    virtual AppSettings* Settings() { return nullptr; }
    virtual CCANdbManager* Candb() { return nullptr; }
};
