// Speed of the drive walk: the real walk against the irreducible walk and a bare enumeration.
// Usage: walk_bench [folder [files [rounds]]]; defaults C:\walkbench, 50000 files, 3 rounds.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/window_host.h"
#include "core/path_text.h"
#include "core/report.h"
#include "core/scan_session.h"
#include "core/signature_table.h"
#include "scan/directory_walker.h"
#include "support/sample_builder.h"

namespace {

// Records whose samples are planted in the tree; the real walk must remove each of them.
const int kSampleRecords[] = {0, 18, 32, 69, 40};
// Files of a keyed size without a PE header: the real walk opens them and finds nothing.
const int kKeyedDecoys = 12;

// Deterministic sizes and contents: a linear congruential generator with a fixed seed.
struct Lcg {
    uint32_t state = 12345;
    uint32_t Next() {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
};

bool WriteFileBytes(const std::string& path, const void* data, size_t size) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = size == 0 || WriteFile(file, data, static_cast<DWORD>(size), &written, nullptr);
    CloseHandle(file);
    return ok && written == size;
}

// The leaf folders of the tree: 20 x 10 x 5 nested folders, each holding an equal share of files.
std::vector<std::string> LeafFolders(const std::string& root) {
    std::vector<std::string> leaves;
    for (int a = 0; a < 20; ++a)
        for (int b = 0; b < 10; ++b)
            for (int c = 0; c < 5; ++c) {
                char name[64];
                snprintf(name, sizeof name, "\\dir%02d\\sub%d\\leaf%d", a, b, c);
                leaves.push_back(root + name);
            }
    return leaves;
}

std::string SamplePath(const std::vector<std::string>& leaves, int i) {
    return leaves[(i * 397 + 101) % leaves.size()] + "\\setup" + std::to_string(i) + ".exe";
}

bool PlantSamples(const std::vector<std::string>& leaves) {
    for (int i = 0; i < static_cast<int>(sizeof kSampleRecords / sizeof kSampleRecords[0]); ++i) {
        std::vector<uint8_t> bytes = BuildMatchingSample(SignatureTable[kSampleRecords[i]]);
        if (bytes.empty() || !WriteFileBytes(SamplePath(leaves, i), bytes.data(), bytes.size())) return false;
    }
    return true;
}

// Builds the tree unless a finished one with the same file count is there; returns its file count.
int BuildTree(const std::string& root, int files, double* seconds) {
    std::vector<std::string> leaves = LeafFolders(root);
    std::string marker = root + "\\tree-" + std::to_string(files) + ".done";
    *seconds = 0;
    if (GetFileAttributesA(marker.c_str()) != INVALID_FILE_ATTRIBUTES) return files;
    LARGE_INTEGER start, end, frequency;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    CreateDirectoryA(root.c_str(), nullptr);
    std::vector<char> filler(8192, 'x');
    Lcg random;
    int perLeaf = files / static_cast<int>(leaves.size());
    int made = 0;
    for (size_t i = 0; i < leaves.size(); ++i) {
        std::string path = leaves[i];
        // Parents first: each level is made once, when its first leaf comes up.
        for (size_t cut = root.size() + 1; cut < path.size(); ++cut)
            if (path[cut] == '\\') CreateDirectoryA(path.substr(0, cut).c_str(), nullptr);
        CreateDirectoryA(path.c_str(), nullptr);
        int count = perLeaf + (static_cast<int>(i) < files % static_cast<int>(leaves.size()) ? 1 : 0);
        for (int f = 0; f < count; ++f, ++made) {
            size_t size = random.Next() % filler.size();
            // A keyed size would send the file to the full check; such files are planted on purpose.
            while (AnyRecordAcceptsSize(static_cast<int32_t>(size))) ++size;
            char name[32];
            snprintf(name, sizeof name, "\\file%05d.dat", made);
            if (!WriteFileBytes(path + name, filler.data(), size)) return -1;
        }
    }
    for (int i = 0; i < kKeyedDecoys; ++i) {
        std::vector<uint8_t> text(static_cast<size_t>(SignatureTable[i * 5].fileSize), 'k');
        if (!WriteFileBytes(leaves[(i * 83) % leaves.size()] + "\\keyed" + std::to_string(i) + ".txt", text.data(),
                            text.size()))
            return -1;
    }
    WriteFileBytes(marker, "done", 4);
    QueryPerformanceCounter(&end);
    *seconds = static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
    return files;
}

// A hidden stand-in for the main window that handles the engine's messages as the real one does:
// the status goes into a label, each line into a list box.
HWND statusLabel = nullptr;
HWND resultList = nullptr;

LRESULT CALLBACK BenchWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == UM_SHOWSTATUS) {
        SetWindowTextA(statusLabel, Session.StatusText);
        return 0;
    }
    if (message == UM_ADDLINE) {
        SendMessageA(resultList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Session.ReportLineBuffer));
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND MakeBenchWindow() {
    WNDCLASSA cls = {};
    cls.lpfnWndProc = BenchWindowProc;
    cls.hInstance = GetModuleHandleA(nullptr);
    cls.lpszClassName = "PurgixWalkBench";
    RegisterClassA(&cls);
    HWND window = CreateWindowExA(0, cls.lpszClassName, "walk bench", WS_POPUP, 0, 0, 600, 400, nullptr, nullptr,
                                  cls.hInstance, nullptr);
    statusLabel = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 600, 20, window, nullptr,
                                  cls.hInstance, nullptr);
    resultList = CreateWindowExA(0, "LISTBOX", "", WS_CHILD | WS_VISIBLE, 0, 20, 600, 380, window, nullptr,
                                 cls.hInstance, nullptr);
    return window;
}

// The baseline: the same two listings per folder, the same three pumps and one status per entry,
// and nothing else (no counting, no checking).
int BaselineWalk(const char* pattern) {
    int files = 0;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA(pattern, &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            PumpAndCheckCancel();
            char path[260];
            if (FormEntryPath(pattern, entry.cFileName, path, sizeof path) == PathForm::kFormed) {
                char shown[260];
                ShortenPath(path, shown, sizeof shown, 60);
                ShowStatus(shown);
                if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++files;
            }
            PumpAndCheckCancel();
        } while (FindNextFileA(search, &entry));
        FindClose(search);
    }
    search = FindFirstFileA(pattern, &entry);
    if (search == INVALID_HANDLE_VALUE) return files;
    do {
        PumpAndCheckCancel();
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !IsDotEntry(entry.cFileName)) {
            char child[260];
            if (FormChildPattern(pattern, entry.cFileName, child, sizeof child) == PathForm::kFormed)
                files += BaselineWalk(child);
        }
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    return files;
}

// For reference: the two listings per folder and nothing else.
int BareWalk(const std::string& folder) {
    int files = 0;
    WIN32_FIND_DATAA entry;
    std::string pattern = folder + "\\*.*";
    HANDLE search = FindFirstFileA(pattern.c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do
            if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++files;
        while (FindNextFileA(search, &entry));
        FindClose(search);
    }
    search = FindFirstFileA(pattern.c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return files;
    do
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !IsDotEntry(entry.cFileName))
            files += BareWalk(folder + "\\" + entry.cFileName);
    while (FindNextFileA(search, &entry));
    FindClose(search);
    return files;
}

double Now() {
    static LARGE_INTEGER frequency = {};
    if (!frequency.QuadPart) QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct Best {
    double rate = 0;
    void Take(double files, double seconds) {
        if (seconds > 0 && files / seconds > rate) rate = files / seconds;
    }
};

}  // namespace

int main(int argc, char** argv) {
    std::string root = argc > 1 ? argv[1] : "C:\\walkbench";
    int wanted = argc > 2 ? atoi(argv[2]) : 50000;
    int rounds = argc > 3 ? atoi(argv[3]) : 3;
    if (wanted < 1000 || rounds < 1) {
        fprintf(stderr, "usage: walk_bench [folder [files>=1000 [rounds>=1]]]\n");
        return 2;
    }
    double buildSeconds = 0;
    if (BuildTree(root, wanted, &buildSeconds) < 0) {
        fprintf(stderr, "walk_bench: could not build the tree under %s\n", root.c_str());
        return 1;
    }
    std::vector<std::string> leaves = LeafFolders(root);
    const int samples = static_cast<int>(sizeof kSampleRecords / sizeof kSampleRecords[0]);
    if (buildSeconds > 0) printf("tree: %d files built in %.1f s (%.0f files/s)\n", wanted, buildSeconds, wanted / buildSeconds);

    // The walk reports to the window program's own host, so it pays for the window traffic too.
    MainWindowHandle = MakeBenchWindow();
    Session.host = &MainWindowHost();
    Session.RemovalAction = kActionDelete;
    std::string pattern = root + "\\*.*";
    Best bare, baseline, real;
    std::vector<double> ratios;  // real/baseline speed of each round
    int total = 0;
    for (int round = 1; round <= rounds; ++round) {
        if (!PlantSamples(leaves)) {
            fprintf(stderr, "walk_bench: could not plant the samples\n");
            return 1;
        }
        // Real and baseline swap places every round, so neither always meets the warmer cache.
        double t0 = Now();
        int bareFiles = BareWalk(root);
        double t1 = Now();
        double baselineSeconds = 0, realSeconds = 0;
        int baselineFiles = 0;
        for (int turn = 0; turn < 2; ++turn) {
            double start = Now();
            if ((turn == 0) == (round % 2 == 1)) {
                baselineFiles = BaselineWalk(pattern.c_str());
                baselineSeconds = Now() - start;
            } else {
                Session.ScanCounters = {0, 0, 0};
                Session.ScanCancelled = false;
                DirectoryWalker(pattern.c_str());
                realSeconds = Now() - start;
                // Put back what the walk removed, so the baseline sees the same tree.
                if (!PlantSamples(leaves)) return 1;
            }
        }
        total = Session.ScanCounters.filesScanned;
        bare.Take(bareFiles, t1 - t0);
        baseline.Take(baselineFiles, baselineSeconds);
        real.Take(Session.ScanCounters.filesScanned, realSeconds);
        ratios.push_back(baselineSeconds / realSeconds);
        printf("round %d: bare %d files %.2f s, baseline %d files %.2f s, real %d files %.2f s, %d of %d samples removed\n",
               round, bareFiles, t1 - t0, baselineFiles, baselineSeconds, Session.ScanCounters.filesScanned, realSeconds,
               Session.ScanCounters.filesRemoved, samples);
        if (Session.ScanCounters.filesRemoved != samples || Session.ScanCounters.filesInfected != samples ||
            bareFiles != Session.ScanCounters.filesScanned || baselineFiles != Session.ScanCounters.filesScanned) {
            fprintf(stderr, "walk_bench: the walks disagree about the tree\n");
            return 1;
        }
    }
    printf("files in tree: %d (%d samples, %d keyed-size decoys)\n", total, samples, kKeyedDecoys);
    printf("real walk (checker, pumping, window):  %8.0f files/s\n", real.rate);
    printf("baseline (passes, pumps, statuses):    %8.0f files/s\n", baseline.rate);
    printf("bare two-pass enumeration:             %8.0f files/s\n", bare.rate);
    std::sort(ratios.begin(), ratios.end());
    printf("ratio real/baseline: %.3f of the best rates, %.3f median of the rounds (goal >= 0.9)\n",
           baseline.rate > 0 ? real.rate / baseline.rate : 0.0, ratios[ratios.size() / 2]);
    DestroyWindow(MainWindowHandle);
    return 0;
}
