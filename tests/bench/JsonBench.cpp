// Times the JSON export and import of large farms at 1x, 2x and 4x, next to
// nlohmann::json alone on the same document on the same machine: parsing the
// exported text (from memory, and from the file through a stream as the
// import reads it) and serialising it again with indent 2. The last columns
// set export + import against parse + dump: they stay flat when the store
// grows linearly. Further columns time what the store does beyond the
// library's parse and dump (reading the file, writing it, freeing a document)
// and, by difference, building the document from the records and the records
// from the document. Times in ms.
//
//   json_bench [runs]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "LargeFarm.h"
#include "ProjectManager.h"
#include "StorePlatform.h"

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

size_t PlantCount(const ProjectManager& pm) {
    size_t n = 0;
    for (const Space& s : pm.GetSpaces()) n += s.plants.size();
    return n;
}

}  // namespace

int main(int argc, char** argv) {
    int runs = argc > 1 ? std::atoi(argv[1]) : 1;
    if (runs < 1) runs = 1;
    fs::path dir = fs::temp_directory_path() / ("tilvo-json-bench-" + std::to_string(Clock::now().time_since_epoch().count()));
    fs::create_directories(dir);
    fs::path path = dir / "farm.json";
    WString widePath = ProjectManager::StringToWString(path.u8string());

    LargeFarmSize base;
    std::printf("Large farm 1x: %d spaces of %d vertices, %d plants, %d tasks, %d links (%d task-space, %d task-plant)\n",
                base.spaces, base.verticesPerSpace, base.plants, base.tasks, base.spaceLinks + base.plantLinks,
                base.spaceLinks, base.plantLinks);
    std::printf("nlohmann::json %d.%d.%d\n\n", NLOHMANN_JSON_VERSION_MAJOR, NLOHMANN_JSON_VERSION_MINOR,
                NLOHMANN_JSON_VERSION_PATCH);
    std::printf("%-4s %-3s %7s %7s %6s | %6s %6s %5s | %5s %5s %5s | %6s %7s | %9s %9s\n", "farm", "run", "export",
                "import", "MiB", "parse", "parse", "dump", "read", "write", "free", "build", "convert", "ratio to",
                "ratio to");
    std::printf("%-4s %-3s %7s %7s %6s | %6s %6s %5s | %5s %5s %5s | %6s %7s | %9s %9s\n", "", "", "", "", "", "mem",
                "file", "", "", "", "", "", "", "mem+dump", "file+dump");

    int status = 0;
    for (int factor : {1, 2, 4}) {
        LargeFarmSize size = base.Scaled(factor);
        for (int run = 1; run <= runs; ++run) {
            ProjectManager pm;
            BuildLargeFarm(pm, size);

            Clock::time_point t = Clock::now();
            bool ok = pm.ExportToJSON(widePath);
            double exportMs = MsSince(t);
            if (!ok) {
                std::printf("export failed: %s\n", ProjectManager::WStringToString(pm.GetLastError()).c_str());
                return 1;
            }
            uintmax_t fileKiB = fs::file_size(path) / 1024;

            ProjectManager imported;
            t = Clock::now();
            ok = imported.ImportFromJSON(widePath);
            double importMs = MsSince(t);
            if (!ok || imported.GetSpaces().size() != pm.GetSpaces().size() || PlantCount(imported) != PlantCount(pm) ||
                imported.GetAllTasks().size() != pm.GetAllTasks().size()) {
                std::printf("import gave a different project: %s\n",
                            ProjectManager::WStringToString(imported.GetLastError()).c_str());
                status = 1;
            }

            // The library alone on the same document.
            std::string text;
            {
                std::ifstream in(path, std::ios::binary);
                text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
            }
            t = Clock::now();
            json document = json::parse(text);
            double parseMemMs = MsSince(t);
            json fromFile;
            t = Clock::now();
            {
                std::ifstream in(path);
                in >> fromFile;
            }
            double parseFileMs = MsSince(t);
            t = Clock::now();
            std::string dumped = document.dump(2, ' ', false, json::error_handler_t::strict);
            double dumpMs = MsSince(t);
            if (document != fromFile || dumped.size() < text.size() / 2) {
                std::printf("the library's readings disagree\n");
                status = 1;
            }
            // What the store does beyond the library's parse and dump: taking
            // the text from the file through a text stream in large blocks,
            // putting it on disk, and freeing a document.
            t = Clock::now();
            {
                std::ifstream in(path);
                std::string read;
                std::vector<char> block(1 << 20);
                while (in.read(block.data(), static_cast<std::streamsize>(block.size())) || in.gcount() > 0)
                    read.append(block.data(), static_cast<size_t>(in.gcount()));
                if (read.size() > text.size()) status = 1;
            }
            double readMs = MsSince(t);
            t = Clock::now();
            {
                storeplatform::TextFileReplacement file;
                if (!file.Begin(widePath + L".copy") || !file.Write(dumped) || !file.Commit()) status = 1;
            }
            double writeMs = MsSince(t);
            t = Clock::now();
            document = json();
            double freeMs = MsSince(t);

            // The rest: building the document from the records (export), and
            // the records from the document (import).
            double buildMs = exportMs - dumpMs - writeMs - freeMs;
            double convertMs = importMs - readMs - parseMemMs - freeMs;
            std::printf("%-4s %-3d %7.0f %7.0f %6.1f | %6.0f %6.0f %5.0f | %5.0f %5.0f %5.0f | %6.0f %7.0f | %9.2f %9.2f\n",
                        (std::to_string(factor) + "x").c_str(), run, exportMs, importMs, fileKiB / 1024.0,
                        parseMemMs, parseFileMs, dumpMs, readMs, writeMs, freeMs, buildMs, convertMs,
                        (exportMs + importMs) / (parseMemMs + dumpMs), (exportMs + importMs) / (parseFileMs + dumpMs));
            std::fflush(stdout);
        }
    }
    std::error_code ec;
    fs::remove_all(dir, ec);
    return status;
}
