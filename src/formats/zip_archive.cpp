// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/zip_archive.h"

#include <zip.h>

#include <algorithm>

namespace teravine {
namespace {

zip_t* as_zip(void* archive) {
    return static_cast<zip_t*>(archive);
}

std::string size_text(std::size_t bytes) {
    return bytes % (std::size_t{1} << 20) == 0 ? std::to_string(bytes >> 20) + " MiB"
                                               : std::to_string(bytes) + " bytes";
}

std::string quoted(const std::string& name) {
    return "\"" + name + "\"";
}

} // namespace

void ZipArchive::Closer::operator()(void* archive) const {
    zip_discard(as_zip(archive));
}

Outcome<ZipArchive> ZipArchive::open(std::string_view bytes, const std::string& subject,
                                     std::size_t total_limit) {
    if (bytes.empty()) {
        return Failure{subject + " is empty."};
    }
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    zip_t* archive = source == nullptr ? nullptr : zip_open_from_source(source, ZIP_RDONLY, &error);
    if (archive == nullptr) {
        const std::string reason = zip_error_strerror(&error);
        zip_error_fini(&error);
        if (source != nullptr) {
            zip_source_free(source);
        }
        return Failure{subject + " is not a pattern: it is not a zip archive that can be read (" +
                       reason + ")."};
    }
    zip_error_fini(&error);
    std::unique_ptr<void, Closer> owned(archive);
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    if (count < 0 || static_cast<std::uint64_t>(count) > kMaxZipEntries) {
        return Failure{subject + " is not a pattern: its archive holds " + std::to_string(count) +
                       " entries, more than the " + std::to_string(kMaxZipEntries) +
                       " a pattern's archive has."};
    }
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(count));
    for (zip_int64_t i = 0; i < count; ++i) {
        const char* name = zip_get_name(archive, static_cast<zip_uint64_t>(i), 0);
        names.emplace_back(name == nullptr ? "" : name);
    }
    return ZipArchive(std::move(owned), std::move(names), subject, total_limit);
}

Outcome<std::string> ZipArchive::read(const std::string& name, std::size_t limit) const {
    zip_t* archive = as_zip(archive_.get());
    const zip_int64_t index = zip_name_locate(archive, name.c_str(), 0);
    if (index < 0) {
        return Failure{subject_ + " is not a pattern: its archive has no entry " + quoted(name) +
                       "."};
    }
    const auto too_large = [&] {
        return Failure{subject_ + " is not a pattern: its entry " + quoted(name) +
                       " unpacks to more than " + size_text(limit) + "."};
    };
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(archive, static_cast<zip_uint64_t>(index), 0, &stat) == 0 &&
        (stat.valid & ZIP_STAT_SIZE) != 0 && stat.size > limit) {
        return too_large();
    }
    zip_file_t* file = zip_fopen_index(archive, static_cast<zip_uint64_t>(index), 0);
    if (file == nullptr) {
        return Failure{subject_ + " is damaged: its entry " + quoted(name) + " cannot be read (" +
                       zip_strerror(archive) + ")."};
    }
    // Read in pieces up to one byte past the limit: a header that understates the size
    // cannot make the read go further.
    std::string content;
    char piece[1 << 16];
    for (;;) {
        const zip_int64_t got = zip_fread(file, piece, sizeof piece);
        if (got < 0) {
            const std::string reason = zip_file_strerror(file);
            zip_fclose(file);
            return Failure{subject_ + " is damaged: its entry " + quoted(name) +
                           " cannot be unpacked (" + reason + ")."};
        }
        if (got == 0) {
            break;
        }
        if (content.size() + static_cast<std::size_t>(got) > limit) {
            zip_fclose(file);
            return too_large();
        }
        if (content.size() + static_cast<std::size_t>(got) > total_left_) {
            zip_fclose(file);
            return Failure{subject_ + " is not a pattern: its entries unpack to more than " +
                           size_text(total_limit_) + " together."};
        }
        content.append(piece, static_cast<std::size_t>(got));
    }
    zip_fclose(file);
    total_left_ -= content.size();
    return content;
}

} // namespace teravine
