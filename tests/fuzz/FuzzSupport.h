// A private scratch folder for fuzz targets that must hand the store a path.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fuzzsupport {

class ScratchFolder {
public:
    explicit ScratchFolder(const char* name) {
        // Memory-backed when the machine has it: every run writes a file.
        const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : (getenv("TMPDIR") ? getenv("TMPDIR") : "/tmp");
        std::string pattern = std::string(base) + "/tilvo-fuzz-" + name + "-XXXXXX";
        if (!mkdtemp(&pattern[0])) {
            perror("mkdtemp");
            abort();
        }
        folder = pattern;
        instance = this;
        atexit([] {
            if (instance) instance->RemoveAll();
        });
    }

    std::string Path(const std::string& file) const { return folder + "/" + file; }

    // Writes the bytes as the whole content of the file and returns its path.
    std::string Write(const std::string& file, const uint8_t* data, size_t size) const {
        std::string path = Path(file);
        FILE* f = fopen(path.c_str(), "wb");
        if (!f || (size && fwrite(data, 1, size, f) != size) || fclose(f) != 0) {
            perror(path.c_str());
            abort();
        }
        return path;
    }

    void RemoveAll() {
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }

private:
    std::string folder;
    static inline ScratchFolder* instance = nullptr;
};

}  // namespace fuzzsupport
