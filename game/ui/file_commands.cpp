#include "file_commands.h"

#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "bitmap.h"
#include "board_functions.h"
#include "commands.h"
#include "fenlow.h"
#include "file_io.h"
#include "game_file.h"
#include "gdi.h"
#include "program_directory.h"
#include "record_export.h"
#include "report_error.h"
#include "transcript.h"

namespace tavik::ui {

namespace {

// The dialogs' filters: pairs of a description and a pattern, each ended by a zero, and a zero
// at the end (the literal's own).
constexpr char kGameFilter[] = "Tavik対局ファイル(*.tvk)\0*.tvk\0";
constexpr char kRecordFilter[] = "テキストファイル(*.txt)\0*.txt\0HTMLファイル(*.html)\0*.html\0";
constexpr char kBitmapFilter[] = "24ビット ビットマップ(*.bmp)\0*.bmp\0";

// The helper DLL's file dialog with an empty name; the chosen path, or nothing when cancelled.
std::optional<std::string> AskForFile(FileCommandHost& window, const char* filter, bool open) {
    char file[MAX_PATH];
    std::memset(file, 0, sizeof file);
    if (!GetFileDlg(window.Handle(), file, filter, open ? 1 : 0)) return std::nullopt;
    return std::string(file);
}

// Puts a checked record in place of the game: the game stops, the move on its way lands first,
// and the last position is shown, as "最終局面" shows it.
void ReplaceGame(FileCommandHost& window, const GameRecord& loaded) {
    window.ChangeGame([&](BoardState& board, GameRecord& record) {
        record = loaded;
        ReplayMoves(record, 60, board);
    });
    window.RebuildRecordRows(window.RecordCopy());
    window.Redraw();
}

// Saving writes a snapshot of the record, copied under the session's state lock, so a move
// that lands meanwhile is either wholly in it or wholly after it: the game goes on.
void SaveGameFile(FileCommandHost& window) {
    const auto path = AskForFile(window, kGameFilter, false);
    if (!path) return;
    window.SetStatusText(0, "対局を保存しています...");
    const std::vector<uint8_t> bytes = EncodeGameFile(window.RecordCopy());
    const FileError error = WriteFileReplacing(*path, bytes.data(), bytes.size());
    if (error != FileError::kNone) ReportError(GameFileSaveFailureText(error).c_str());
    window.SetStatusText(0, "");
}

// A file replaces the game only once it is known to be sound: a refused file leaves the game
// running as it was. An accepted one stops the game, and the move on its way lands first, so
// no computer move interleaves with it.
void LoadGameFile(FileCommandHost& window, const std::string& path) {
    window.SetStatusText(0, "対局を読み込んでいます...");
    const auto bytes = ReadFileBytes(path, kGameFileBytes);
    // 37 KB: on the heap rather than the user-interface thread's stack.
    const auto loaded = std::make_unique<GameRecord>();
    GameFileCheck check;
    if (bytes) check = DecodeGameFile(bytes->data(), bytes->size(), *loaded);
    if (!bytes) {
        ReportError(GameFileUnreadableText().c_str());
    } else if (check.error != GameFileError::kNone) {
        ReportError(GameFileRefusalText(check).c_str());
    } else {
        ReplaceGame(window, *loaded);
    }
    window.SetStatusText(0, "");
}

void LoadGameFile(FileCommandHost& window) {
    if (const auto path = AskForFile(window, kGameFilter, true)) LoadGameFile(window, *path);
}

// Where the file's own name begins in a path of code page 932 text. A separator is looked for
// character by character: the second byte of a double-byte character may be 0x5C, the '\\'.
size_t FileNameStart(const std::string& path) {
    size_t start = 0;
    for (size_t i = 0; i < path.size(); ++i) {
        const auto byte = static_cast<unsigned char>(path[i]);
        if ((byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC))
            ++i;  // a lead byte: its partner is no separator
        else if (byte == '\\' || byte == '/' || byte == ':')
            start = i + 1;
    }
    return start;
}

// The text on the clipboard in code page 932: CF_TEXT where it is offered (Windows makes it
// from a Unicode text itself), converted from CF_UNICODETEXT where only that is. Anything past
// the parser's limit is not copied: one byte more than it is enough for the parser to refuse.
std::optional<std::string> ClipboardText(HWND owner) {
    if (!OpenClipboard(owner)) return std::nullopt;
    std::optional<std::string> text;
    constexpr size_t kLimit = kMaxTranscriptBytes + 1;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const auto* bytes = static_cast<const char*>(GlobalLock(data))) {
            const size_t size = GlobalSize(data);
            size_t length = 0;
            while (length < size && length < kLimit && bytes[length]) ++length;
            text.emplace(bytes, length);
            GlobalUnlock(data);
        }
    } else if (HANDLE wide = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(wide))) {
            const size_t size = GlobalSize(wide) / sizeof(wchar_t);
            size_t length = 0;
            while (length < size && length < kLimit && chars[length]) ++length;
            const int count = static_cast<int>(length);
            const int bytes =
                WideCharToMultiByte(932, 0, chars, count, nullptr, 0, nullptr, nullptr);
            std::string converted(static_cast<size_t>(bytes), '\0');
            WideCharToMultiByte(932, 0, chars, count, converted.data(), bytes, nullptr, nullptr);
            text = std::move(converted);
            GlobalUnlock(wide);
        }
    }
    CloseClipboard();
    return text;
}

// A transcript replaces the game as a game file does, once the whole of it was read: a refused
// one leaves the game, running or not, exactly as it was.
void PasteRecord(FileCommandHost& window) {
    const std::optional<std::string> text = ClipboardText(window.Handle());
    if (!text) {
        ReportError("棋譜を貼り付けられませんでした。クリップボードに文字列がありません。");
        return;
    }
    const auto pasted = std::make_unique<GameRecord>();
    const TranscriptResult result = ParseTranscriptText(*text, *pasted);
    if (!result.ok) {
        ReportError(result.message.c_str());
        return;
    }
    ReplaceGame(window, *pasted);
    // Part 0 is 100 pixels wide: the count and a short verb fit it whole.
    window.ShowStatusForAMoment(std::to_string(result.moves) + "手を貼り付け");
}

void ExportRecord(FileCommandHost& window) {
    const auto path = AskForFile(window, kRecordFilter, false);
    if (!path) return;
    window.SetStatusText(0, "棋譜を保存しています...");
    SYSTEMTIME now;
    GetLocalTime(&now);
    const LocalTime time{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
    switch (ExportRecordToFile(*path, ProgramDirectory(), window.RecordCopy(), time)) {
        case ExportError::kNone:
            break;
        case ExportError::kTemplate:
            ReportError("テンプレートファイルオープンに失敗。棋譜を保存できません。");
            break;
        case ExportError::kOutput:
            ReportError("ファイルオープンに失敗。棋譜を保存できません。");
            break;
    }
    window.SetStatusText(0, "");
}

void CopyTextToClipboard(HWND owner, const std::string& text) {
    if (!OpenClipboard(owner)) return;  // the clipboard keeps what it holds
    if (EmptyClipboard()) {
        // Movable and zeroed: the byte behind the text is its terminator. The clipboard owns
        // the block once it has taken it.
        if (HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, text.size() + 1)) {
            std::memcpy(GlobalLock(block), text.data(), text.size());
            GlobalUnlock(block);
            if (!SetClipboardData(CF_TEXT, block)) GlobalFree(block);
        }
    }
    CloseClipboard();
}

void SaveBoardBitmap(FileCommandHost& window) {
    const auto path = AskForFile(window, kBitmapFilter, false);
    window.SetStatusText(0, "保存しています...");
    // The picture is taken without the legal-move frames; the window shows them again after.
    // Its failure boxes come after the board's lock is released: a repaint while a box is up
    // must not wait for the box.
    const OwnedBitmap picture = window.BoardPicture();
    if (path && picture && !SaveBitmapFile(picture.get(), *path, 24))
        ReportError("ビットマップファイルの保存に失敗しました");
    window.Redraw();
    window.SetStatusText(0, "");
}

void CopyBoardPicture(FileCommandHost& window) {
    window.SetStatusText(0, "コピーしています...");
    const OwnedBitmap picture = window.BoardPicture();
    CopyBitmapToClipboard(picture.get());
    window.Redraw();
    window.SetStatusText(0, "");
}

}  // namespace

bool RunFileCommand(FileCommandHost& window, UINT command) {
    switch (command) {
        case kCmdOpen:
            LoadGameFile(window);
            return true;
        case kCmdSave:
            SaveGameFile(window);
            return true;
        case kCmdExport:
            ExportRecord(window);
            return true;
        case kCmdCopyRecord:
            CopyTextToClipboard(window.Handle(), KifuString(window.RecordCopy()));
            return true;
        case kCmdPasteRecord:
            PasteRecord(window);
            return true;
        case kCmdCopyPosition:
            CopyTextToClipboard(window.Handle(), PositionDiagram(window.Board()));
            return true;
        case kCmdSaveBitmap:
            SaveBoardBitmap(window);
            return true;
        case kCmdCopyBoard:
            CopyBoardPicture(window);
            return true;
        default:
            return false;
    }
}

void OpenGameFiles(FileCommandHost& window, const std::vector<std::string>& paths) {
    if (paths.empty()) return;
    if (paths.size() > 1) {
        ReportError("対局ファイルは一度に1つだけ開けます。ファイルを1つだけ選んでください。");
        return;
    }
    const std::string& path = paths.front();
    const std::string name = path.substr(FileNameStart(path));
    const size_t dot = name.find_last_of('.');
    if (dot == std::string::npos || lstrcmpiA(name.c_str() + dot, ".tvk") != 0) {
        ReportError(
            ("「" + name + "」はTavik対局ファイル(*.tvk)ではないため、開けません。").c_str());
        return;
    }
    LoadGameFile(window, path);
}

bool SaveBitmapFile(HBITMAP bitmap, const std::string& path, int bits) {
    BITMAP info{};
    if (!GetObjectA(bitmap, sizeof info, &info)) return false;
    if (bits == 0) bits = info.bmBitsPixel;
    const auto layout = LayoutOf(info.bmWidth, info.bmHeight, bits);
    if (!layout) return false;

    // The pixels in the file's format, and for 8 bits or fewer the colour table the conversion
    // fills: a BITMAPINFO with room for 256 entries.
    std::vector<uint8_t> pixels(layout->pixelSize, 0);
    std::vector<uint8_t> header(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD), 0);
    auto* bitmapInfo = reinterpret_cast<BITMAPINFO*>(header.data());
    bitmapInfo->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bitmapInfo->bmiHeader.biWidth = info.bmWidth;
    bitmapInfo->bmiHeader.biHeight = info.bmHeight;
    bitmapInfo->bmiHeader.biPlanes = 1;
    bitmapInfo->bmiHeader.biBitCount = static_cast<WORD>(bits);
    bitmapInfo->bmiHeader.biCompression = BI_RGB;
    int lines;
    {
        WindowDc screen(nullptr);
        OwnedDc dc(CreateCompatibleDC(screen.get()));
        lines = GetDIBits(dc.get(), bitmap, 0, static_cast<UINT>(info.bmHeight), pixels.data(),
                          bitmapInfo, DIB_RGB_COLORS);
    }
    if (lines == 0) {
        ReportError("色数変更に失敗しました", ErrorReport::kBitmapStep);
        return false;
    }
    std::vector<uint32_t> colours;
    if (bits <= 8)
        for (int i = 0; i < (1 << bits); ++i) {
            const RGBQUAD& c = bitmapInfo->bmiColors[i];
            colours.push_back(c.rgbBlue | c.rgbGreen << 8 | c.rgbRed << 16);
        }
    const std::vector<uint8_t> file =
        EncodeBitmapFile(info.bmWidth, info.bmHeight, bits, pixels, colours);

    FileReplacement out(path);
    if (!out.Created()) {
        ReportError("ファイルを開くことができませんでした", ErrorReport::kBitmapStep);
        return false;
    }
    if (!out.Write(file.data(), 14)) {
        ReportError("ビットマップファイルヘッダーを書き込むことができませんでした",
                    ErrorReport::kBitmapStep);
        return false;
    }
    if (!out.Write(file.data() + 14, layout->pixelOffset - 14)) {
        ReportError("ビットマップ情報とカラーテーブルを書き込むことができませんでした",
                    ErrorReport::kBitmapStep);
        return false;
    }
    if (!out.Write(file.data() + layout->pixelOffset, layout->pixelSize)) {
        ReportError("ビット配列を書き込むことができませんでした", ErrorReport::kBitmapStep);
        return false;
    }
    switch (out.Commit()) {
        case FileError::kNone:
            return true;
        case FileError::kReplace:
            ReportError("ファイルを置き換えることができませんでした", ErrorReport::kBitmapStep);
            return false;
        default:
            ReportError("ファイルをクローズできませんでした", ErrorReport::kBitmapStep);
            return false;
    }
}

bool CopyBitmapToClipboard(HBITMAP bitmap) {
    if (!bitmap) return true;
    if (!OpenClipboard(nullptr)) return false;
    if (!EmptyClipboard()) {
        CloseClipboard();
        return false;
    }
    // A duplicate of the same size and depth: the clipboard owns it, the caller keeps its own.
    HANDLE copy = CopyImage(bitmap, IMAGE_BITMAP, 0, 0, 0);
    if (copy && !SetClipboardData(CF_BITMAP, copy)) DeleteObject(copy);
    CloseClipboard();
    return true;
}

}  // namespace tavik::ui
