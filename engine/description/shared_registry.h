#pragma once
// Read-only data made from files (parsed documents, compiled schemas,
// language tables), found again by key for as long as someone holds it. An
// entry is valid for one stamp of its files: a file changed on disk gives a
// new stamp and is read afresh, while holders of the old copy keep theirs.
// The registry holds its entries weakly; the DTM instances own the data.

#include <filesystem>
#include <map>
#include <memory>
#include <mutex>

namespace engine {

// What says that a file is still the one read: its modification time and size.
struct FileStamp {
    std::filesystem::file_time_type modified{};
    std::uintmax_t size = 0;
    bool exists = false;
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

inline FileStamp stampOf(const std::filesystem::path& file) {
    std::error_code error;
    FileStamp stamp;
    stamp.modified = std::filesystem::last_write_time(file, error);
    if (error) return {};
    stamp.size = std::filesystem::file_size(file, error);
    if (error) return {};
    stamp.exists = true;
    return stamp;
}

template <class Key, class Stamp, class Value>
class SharedRegistry {
public:
    // The entry of `key` when it is alive and has `stamp`; else what `build`
    // makes (a shared_ptr<const Value>; it may raise, nothing is kept then).
    template <class Build>
    std::shared_ptr<const Value> get(const Key& key, const Stamp& stamp, Build&& build) {
        std::lock_guard lock(mutex_);
        if (auto found = entries_.find(key); found != entries_.end() && found->second.stamp == stamp) {
            if (std::shared_ptr<const Value> alive = found->second.value.lock()) return alive;
        }
        std::shared_ptr<const Value> made = build();
        std::erase_if(entries_, [](const auto& entry) { return entry.second.value.expired(); });
        entries_[key] = Entry{stamp, made};
        return made;
    }

private:
    struct Entry {
        Stamp stamp;
        std::weak_ptr<const Value> value;
    };
    std::mutex mutex_;
    std::map<Key, Entry> entries_;
};

}  // namespace engine
