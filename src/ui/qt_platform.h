// The desktop services of the player implemented with Qt: message boxes with
// their captions and buttons, the program editor after a program error, sounds
// through Qt Multimedia, opening files and addresses with the desktop's
// opener, the default beep, and process exit.
#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>

#include "script/platform.h"
#include "ui/scene_view.h"

class QSoundEffect;

namespace quorrel {

class QtPlatform : public Platform {
public:
    QtPlatform();
    ~QtPlatform() override;

    // Message boxes and the editor are shown over this window.
    void set_owner(QWidget* owner) { owner_ = owner; }
    // The scene picture: the placement question opens at its pointer position.
    void set_scene(SceneView* scene) { scene_ = scene; }

    Answer message_box(const std::string& text, const std::string& caption, Buttons buttons) override;
    EditorExit edit_program(Model& m, int program, int line, int error_code) override;
    void play_sound(const std::string& path) override;
    void shell_open(const std::string& target) override;
    void beep() override;
    void exit_process(int status) override;
    Placement ask_placement(int x, int y) override;

private:
    QPointer<QWidget> owner_;
    QPointer<SceneView> scene_;
    // One effect is kept alive: playing a new sound replaces the previous one,
    // as a single asynchronous sound channel does.
    std::unique_ptr<QSoundEffect> sound_;
};

}  // namespace quorrel
