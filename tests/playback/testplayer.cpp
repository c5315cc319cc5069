// A player library for the tests. It plays nothing: it remembers what it
// was told and answers what the test configured through the extra exported
// functions TestPlayer_*. Built several times with these defines:
//   TESTPLAYER_NO_DESCRIPTION  does not export _Description
//   TESTPLAYER_NULL_OPEN       _Open always returns null
//   TESTPLAYER_NOT_OPENED      _Open always returns a record with byte 12 zero
//
// Settings (TestPlayer_Set): "reject" - a path containing this text fails
// to open; "length" - _GetLength; "mode" - a fixed _GetMode (any 32-bit
// value; otherwise the mode follows the calls); "description" - the text
// _Description writes, whatever its length; "throw" - the entry point that
// throws std::runtime_error; "filename" - "null" makes _GetFileName return
// null.
#include "playback/lorimel_player_plugin.h"

#include <cstring>
#include <stdexcept>
#include <string>
#include <thread>

#define TESTPLAYER_EXPORT extern "C" LORIMEL_PLAYER_EXPORT

namespace {

struct TState {
    std::string log;
    std::string reject;
    std::string description = "Test Player";
    std::string throwIn;
    std::string fileName;
    bool nullFileName = false;
    bool fixedMode = false;
    int32_t mode = LORIMEL_MODE_NOT_READY;
    int32_t length = 1000;
    int32_t position = 0;
    bool hasVideo = false;
    void* initArgs[4] = {};
    LorimelPlayerNotify notify = nullptr;
    void* context = nullptr;
    LorimelOpenResult record = {};
};

TState& State() {
    static TState state;
    return state;
}

// Logs a call and throws when the test asked this entry point to.
void Enter(const char* entry, const std::string& argument = {}) {
    TState& s = State();
    if (!s.log.empty())
        s.log += ';';
    s.log += entry;
    if (!argument.empty())
        s.log += '(' + argument + ')';
    if (s.throwIn == entry)
        throw std::runtime_error(std::string("test player failed in ") + entry);
}

} // namespace

// The test's controls.
TESTPLAYER_EXPORT void TestPlayer_Reset(void) {
    State() = TState();
}

TESTPLAYER_EXPORT void TestPlayer_Set(const char* key, const char* value) {
    TState& s = State();
    const std::string k = key;
    if (k == "reject")
        s.reject = value;
    else if (k == "length")
        s.length = int32_t(std::stol(value, nullptr, 0));
    else if (k == "mode") {
        s.fixedMode = true;
        s.mode = int32_t(std::stoul(value, nullptr, 0));
    } else if (k == "description")
        s.description = value;
    else if (k == "throw")
        s.throwIn = value;
    else if (k == "filename")
        s.nullFileName = std::string(value) == "null";
}

// The calls so far, separated by ";".
TESTPLAYER_EXPORT const char* TestPlayer_Log(void) {
    return State().log.c_str();
}

// Argument 0-3 of _InitPlayer.
TESTPLAYER_EXPORT void* TestPlayer_InitArgument(int index) {
    return index >= 0 && index < 4 ? State().initArgs[index] : nullptr;
}

// The open file plays to its end: the position reaches the length and the
// notification is made, from a thread of the library when asked.
TESTPLAYER_EXPORT void TestPlayer_PlayToEnd(int fromThread) {
    TState& s = State();
    s.position = s.length;
    if (!s.fixedMode)
        s.mode = LORIMEL_MODE_STOPPED;
    if (!s.notify)
        return;
    if (fromThread) {
        std::thread worker([notify = s.notify, context = s.context] { notify(context, nullptr); });
        worker.join();
    } else {
        s.notify(s.context, nullptr);
    }
}

// The entry points.
TESTPLAYER_EXPORT void _InitPlayer(void* application, void* screen, void* display, void* display2,
                                   LorimelPlayerNotify notify, void* context) {
    Enter("_InitPlayer");
    TState& s = State();
    s.initArgs[0] = application;
    s.initArgs[1] = screen;
    s.initArgs[2] = display;
    s.initArgs[3] = display2;
    s.notify = notify;
    s.context = context;
}

TESTPLAYER_EXPORT void _DeinitPlayer(void) {
    Enter("_DeinitPlayer");
    State().notify = nullptr;
}

TESTPLAYER_EXPORT const LorimelOpenResult* _Open(const char* path) {
    Enter("_Open", path ? path : "");
    TState& s = State();
    s.fileName = path ? path : "";
    s.position = 0;
    if (!s.fixedMode)
        s.mode = LORIMEL_MODE_STOPPED;
    s.hasVideo =
        s.fileName.size() >= 4 && s.fileName.compare(s.fileName.size() - 4, 4, ".avi") == 0;
    s.record = LorimelOpenResult{};
    s.record.audio_only = s.hasVideo ? 0 : 1;
    s.record.opened = s.reject.empty() || s.fileName.find(s.reject) == std::string::npos;
#if defined(TESTPLAYER_NULL_OPEN)
    return nullptr;
#else
#if defined(TESTPLAYER_NOT_OPENED)
    s.record.opened = 0;
#endif
    return &s.record;
#endif
}

namespace {
void SetMode(int32_t mode) {
    if (!State().fixedMode)
        State().mode = mode;
}
} // namespace

TESTPLAYER_EXPORT void _Play(void) {
    Enter("_Play");
    SetMode(LORIMEL_MODE_PLAYING);
}
TESTPLAYER_EXPORT void _Pause(void) {
    Enter("_Pause");
    SetMode(LORIMEL_MODE_PAUSED);
}
TESTPLAYER_EXPORT void _Resume(void) {
    Enter("_Resume");
    SetMode(LORIMEL_MODE_PLAYING);
}
TESTPLAYER_EXPORT void _Stop(void) {
    Enter("_Stop");
    SetMode(LORIMEL_MODE_STOPPED);
}
TESTPLAYER_EXPORT void _Close(void) {
    Enter("_Close");
    SetMode(LORIMEL_MODE_NOT_READY);
}
TESTPLAYER_EXPORT int32_t _GetLength(void) {
    Enter("_GetLength");
    return State().length;
}
TESTPLAYER_EXPORT int32_t _GetPosition(void) {
    Enter("_GetPosition");
    return State().position;
}
TESTPLAYER_EXPORT int32_t _GetMode(void) {
    Enter("_GetMode");
    return State().mode;
}
TESTPLAYER_EXPORT void _SetPosition(int32_t ms) {
    Enter("_SetPosition", std::to_string(ms));
    State().position = ms;
}
TESTPLAYER_EXPORT const char* _GetFileName(void) {
    Enter("_GetFileName");
    return State().nullFileName ? nullptr : State().fileName.c_str();
}
TESTPLAYER_EXPORT void _SetFullScreen(int32_t fullScreen) {
    Enter("_SetFullScreen", std::to_string(fullScreen));
}
TESTPLAYER_EXPORT int32_t _HasVideo(void) {
    Enter("_HasVideo");
    // Only the lowest byte counts: the upper bytes are noise on purpose.
    return State().hasVideo ? 0x7F00 | 1 : 0x7F00;
}
TESTPLAYER_EXPORT int32_t _GetVideoWidth(void) {
    Enter("_GetVideoWidth");
    return State().hasVideo ? 320 : 0;
}
TESTPLAYER_EXPORT int32_t _GetVideoHeight(void) {
    Enter("_GetVideoHeight");
    return State().hasVideo ? 240 : 0;
}
TESTPLAYER_EXPORT void _OutputText(int32_t x, int32_t y, const char* text) {
    Enter("_OutputText", std::to_string(x) + ',' + std::to_string(y) + ',' + (text ? text : ""));
}
TESTPLAYER_EXPORT void _Refresh(void) {
    Enter("_Refresh");
}

#if !defined(TESTPLAYER_NO_DESCRIPTION)
TESTPLAYER_EXPORT int32_t _Description(char* buffer) {
    Enter("_Description");
    // Copies the whole configured text, terminator included, even beyond
    // the promised 127 characters: the host must cope.
    const std::string& text = State().description;
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return int32_t(text.size());
}
#endif
