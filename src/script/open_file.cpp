#include "script/open_file.h"

#include <algorithm>
#include <cctype>

#include "format/io.h"
#include "format/pictures.h"
#include "model/gbk.h"

namespace quorrel {

std::string experiment_folder(const std::string& path) {
    size_t k = path.find_last_of("/\\");
    return k == std::string::npos ? std::string() : path.substr(0, k + 1);
}

std::string resolve_program_path(const Model& m, std::string_view gbk_name) {
    // Convert first: in GBK the byte of "\" can be the second half of a
    // Chinese character, in UTF-8 it cannot.
    std::string name = gbk_to_utf8(gbk_name);
    std::replace(name.begin(), name.end(), '\\', '/');
    if (!name.empty() && name[0] == '/') return name;
    std::string folder = experiment_folder(m.experiment_path);
    std::replace(folder.begin(), folder.end(), '\\', '/');
    return folder + name;
}

bool names_experiment(std::string_view name) {
    if (name.size() < 3) return false;
    std::string_view tail = name.substr(name.size() - 3);
    return std::tolower(static_cast<unsigned char>(tail[0])) == 'e' &&
           std::tolower(static_cast<unsigned char>(tail[1])) == 'x' &&
           std::tolower(static_cast<unsigned char>(tail[2])) == 'p';
}

void OpenFile_By_Name(Script& s, Model& m, std::string_view name) {
    size_t zero = name.find('\0');
    name = name.substr(0, std::min<size_t>(zero, 2000));
    if (m.experiment_path.empty()) {
        if (s.platform) {
            UserWait wait(s);
            s.platform->message_box("请先保存当前的实验。", "", Buttons::Ok);
        }
        return;
    }
    const std::string path = resolve_program_path(m, name);
    m.experiment_path = path;
    if (s.host) s.host->stop();

    const LoadResult r =
        s.load_scratch ? read_experiment_file(m, path, *s.load_scratch) : read_experiment_file(m, path);
    m.experiment_path = path;  // also when the file failed: later names resolve against it
    if (!r.ok && s.platform) {
        UserWait wait(s);
        if (r.message.empty())
            s.platform->message_box("不能打开这个文件,请检查这个文件是否存在.", "warning", Buttons::OkCancel);
        else
            s.platform->message_box(r.message, r.caption, r.ok_cancel ? Buttons::OkCancel : Buttons::Ok);
    }

    // Objects without a picture of their own show the generated ball, drawn
    // transparently over black.
    for (int i = 0; i < MAX_OBJECTS && m.objects[i].rest_mass != 0; ++i) {
        MovingObject& o = m.objects[i];
        if (o.own_picture == 1) continue;
        if (m.object_pictures[i].isNull()) m.object_pictures[i] = make_ball_picture(m, i);
        o.transparent_colour = 0;
        o.transparent = 1;
    }
    if (s.host) s.host->prepare_after_open();
}

}  // namespace quorrel
