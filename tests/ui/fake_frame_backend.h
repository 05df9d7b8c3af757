#pragma once

#include <QMessageBox>
#include <deque>
#include <map>

#include "ui/frame/dialog_service.h"
#include "ui/frame/frame_backend.h"

// A backend the frame tests steer: channel states, settings and the
// result of opening a CANdb file.
class FakeFrameBackend : public CFrameBackend {
public:
    bool connected = false;
    int startResult = 1;
    int starts = 0, stops = 0, resets = 0, lookSaves = 0;
    bool active[kChannelCount] = {true, true, true, true, true};
    bool busOn[kChannelCount] = {};
    ChannelSettings channels[kChannelCount] = {};
    uint32_t look = 32819;
    std::vector<std::string> recent = std::vector<std::string>(4);
    bool notConfigured = false;
    std::map<std::string, std::vector<uint8_t>> layouts;
    // As the settings record starts: no rectangle, normal, ranks by index.
    FramePlacement placements[4] = {
        {0, 0, 0, 0, 5, 0}, {0, 0, 0, 0, 5, 1}, {0, 0, 0, 0, 5, 2}, {0, 0, 0, 0, 5, 3}};
    bool importResult = true;
    bool exportResult = true;
    std::string environmentError;
    std::vector<std::string> imported, exported, opened;
    CandbResult candb;
    bool candbLoaded = true;

    bool Connected() const override { return connected; }
    int Start() override {
        ++starts;
        connected = startResult != 0;
        return startResult;
    }
    void Stop() override {
        ++stops;
        connected = false;
    }
    bool ChannelActive(int i) const override { return active[i]; }
    bool ChannelBusOn(int i) const override { return busOn[i]; }
    void ToggleBus(int i) override { busOn[i] = !busOn[i]; }
    void ResetCommunication() override { ++resets; }
    ChannelSettings Channel(int i) const override { return channels[i]; }
    uint32_t AppLook() const override { return look; }
    void SetAppLook(uint32_t value) override { look = value; }
    void SaveAppLook() override { ++lookSaves; }
    std::vector<std::string> RecentCandb() const override { return recent; }
    void SetRecentCandb(const std::vector<std::string>& value) override { recent = value; }
    bool NotConfigured() const override { return notConfigured; }
    FramePlacement Placement(int i) const override { return placements[i]; }
    void SetPlacement(int i, const FramePlacement& p) override { placements[i] = p; }
    std::vector<uint8_t> WindowLayout(const std::string& name) const override {
        const auto found = layouts.find(name);
        return found != layouts.end() ? found->second : std::vector<uint8_t>();
    }
    void SetWindowLayout(const std::string& name, const std::vector<uint8_t>& data) override {
        layouts[name] = data;
    }
    bool ImportEnvironment(const std::string& path) override {
        imported.push_back(path);
        return importResult;
    }
    bool ExportEnvironment(const std::string& path) override {
        exported.push_back(path);
        return exportResult;
    }
    std::string EnvironmentError() const override { return environmentError; }
    bool CandbLibraryLoaded() const override { return candbLoaded; }
    CandbResult OpenCandb(const std::string& path) override {
        opened.push_back(path);
        return candb;
    }
};

// Records every box and file question and answers from a script.
class ScriptedDialogs : public CDialogService {
public:
    ScriptedDialogs() : previous_(Install(this)) {}
    ~ScriptedDialogs() override { Install(previous_); }

    std::vector<Box> boxes;
    std::vector<FileRequest> files;
    std::deque<QMessageBox::StandardButton> answers;
    std::deque<QString> fileAnswers;
    // The file type each answer chose (index in the filter); 0 when none given.
    std::deque<int> filterAnswers;

    QMessageBox::StandardButton ShowMessage(QWidget*, const Box& box) override {
        boxes.push_back(box);
        if (answers.empty()) {
            return QMessageBox::Ok;
        }
        const auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
    QString AskFileName(QWidget*, const FileRequest& request) override {
        files.push_back(request);
        if (request.chosenFilter != nullptr) {
            *request.chosenFilter = filterAnswers.empty() ? 0 : filterAnswers.front();
        }
        if (!filterAnswers.empty()) {
            filterAnswers.pop_front();
        }
        if (fileAnswers.empty()) {
            return QString();
        }
        const QString answer = fileAnswers.front();
        fileAnswers.pop_front();
        return answer;
    }

private:
    CDialogService* previous_;
};
