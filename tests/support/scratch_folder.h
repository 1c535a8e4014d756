// SPDX-License-Identifier: GPL-3.0-or-later
// A scratch folder of the test's own for the files it reads and writes.
#pragma once

#include <atomic>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>
#include <unistd.h>

namespace teravine {

// A folder under the system's temporary folder, removed with everything in it.
class ScratchFolder {
public:
    ScratchFolder() {
        static std::atomic<int> serial{0};
        std::random_device random;
        path_ = std::filesystem::temp_directory_path() /
                ("teravine-test-" + std::to_string(::getpid()) + "-" + std::to_string(random()) +
                 "-" + std::to_string(++serial));
        std::filesystem::create_directories(path_);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }

    const std::filesystem::path& path() const { return path_; }
    std::string file(std::string_view name) const { return (path_ / name).string(); }

    // Writes the bytes as they are and returns the file's path.
    std::string write(std::string_view name, std::string_view bytes) const {
        const auto where = file(name);
        std::ofstream out(where, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return where;
    }

    static std::string read(const std::string& where) {
        std::ifstream in(where, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    std::filesystem::path path_;
};

} // namespace teravine
