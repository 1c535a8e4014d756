// A started window on scripted services, a picture of the test's choosing, and a folder
// of its own for the files a session reads and writes.
#pragma once

#include "app/terav.h"
#include "support/scripted_services.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>
#include <unistd.h>

namespace teravine::hostile {

class ScratchFolder {
public:
    ScratchFolder() {
        static std::atomic<int> serial{0};
        std::random_device random;
        path_ = std::filesystem::temp_directory_path() /
                ("teravine-hostile-" + std::to_string(::getpid()) + "-" + std::to_string(random()) +
                 "-" + std::to_string(++serial));
        std::filesystem::create_directories(path_);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }

    std::string file(std::string_view name) const { return (path_ / name).string(); }

    std::string write(std::string_view name, std::string_view bytes) const {
        const auto where = file(name);
        std::ofstream out(where, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return where;
    }

    static std::string read(const std::string& where) {
        std::ifstream in(where, std::ios::binary | std::ios::ate);
        std::string bytes(static_cast<std::size_t>(std::max<std::streamoff>(in.tellg(), 0)), '\0');
        in.seekg(0);
        in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return bytes;
    }

private:
    std::filesystem::path path_;
};

template <class Picture> class Session {
public:
    ScriptedServices services;
    Picture picture;
    Terav terav{services, picture};
    ScratchFolder folder;

    Session() { terav.Form_Load(); }

    const TeravState& state() const { return terav.state(); }

    void type_and_draw(const std::string& broad, const std::string& ad, const std::string& eg) {
        services.boxes[TextBox::Broad] = broad;
        services.boxes[TextBox::Xls] = ad;
        services.boxes[TextBox::Yls] = eg;
        terav.Command1_Click();
    }

    // "Treat File" on the given width file; the result goes to result.IWO.
    std::string treat(const std::string& in_path) {
        const auto out = folder.file("result.IWO");
        services.open_answers = {ScriptedServices::chosen(in_path)};
        services.save_answers = {ScriptedServices::chosen(out)};
        terav.Tr_fi_Click();
        return out;
    }

    // "File table" on the given correction file.
    void load_table(const std::string& path) {
        services.open_answers = {ScriptedServices::chosen(path)};
        terav.file_option_Click();
    }
};

} // namespace teravine::hostile
