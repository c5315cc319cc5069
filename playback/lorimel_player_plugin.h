/*
 * Lorimel player libraries: the interface between the player and a
 * playback library of the "Players" folder.
 *
 * A player library is a shared object named "<name>.so" in the "Players"
 * sub-folder of the program folder; the user picks it by <name> in the
 * options. It exports the twenty functions declared below, by exactly these
 * names and with C linkage. The player looks them up in this order when it
 * loads the library, and refuses the library (falling back to its built-in
 * engine) at the first one that is missing:
 *
 *   _Pause _Resume _Play _Stop _Close _GetLength _GetPosition _SetPosition
 *   _GetMode _Open _GetFileName _InitPlayer _SetFullScreen _HasVideo
 *   _GetVideoWidth _GetVideoHeight _Refresh _OutputText _DeinitPlayer
 *   _Description
 *
 * Threads: every call comes on the player's user-interface thread, and the
 * end-of-media notification must be made on that thread too. (The player
 * copes with a notification from another thread by passing it on to its
 * user-interface thread, but then it arrives after the call has returned.)
 *
 * Order of calls:
 *   1. _InitPlayer once, right after the library is loaded.
 *   2. Per file: _Stop (only when _GetMode reports playing or paused),
 *      _Open, then for a file without picture _Stop once more (whatever the
 *      mode), for a file with picture _Refresh once the video window is
 *      shown, then _Play; afterwards _Pause, _Resume, _SetPosition, _Stop,
 *      _GetPosition, _GetLength and _GetMode in any order.
 *   3. _Close only before the player rewrites the open file's tag; right
 *      after it _GetFileName must still return that file.
 *   4. _Refresh after the display was shown or resized; _SetFullScreen with
 *      1 and 0 when the user switches full screen. _OutputText is not called
 *      by the player today.
 *   5. _DeinitPlayer once, right before the library is unloaded. The library
 *      must stop any thread of its own and make no further notification.
 *
 * Errors: a call that fails should return the value below that stands for
 * "nothing" (0, a null record, a null or empty text). A C++ library may
 * also throw a std::exception from any call but _DeinitPlayer: the player
 * shows its text and carries on with that default.
 *
 * Texts are zero-terminated 8-bit texts in the system encoding (UTF-8).
 */
#ifndef LORIMEL_PLAYER_PLUGIN_H
#define LORIMEL_PLAYER_PLUGIN_H

#include <stddef.h>
#include <stdint.h>

#if defined(__GNUC__)
#define LORIMEL_PLAYER_EXPORT __attribute__((visibility("default")))
#else
#define LORIMEL_PLAYER_EXPORT
#endif

#ifdef __cplusplus
#define LORIMEL_PLAYER_STATIC_ASSERT(condition, text) static_assert(condition, text)
extern "C" {
#else
#define LORIMEL_PLAYER_STATIC_ASSERT(condition, text) _Static_assert(condition, text)
#endif

/*
 * The end-of-media notification. The library calls it with the context
 * given to _InitPlayer whenever playback of the open file ends by itself
 * (not after _Stop, _Close or a new _Open). The sender is for the library's
 * own use; the player ignores it. Before the call the library must report a
 * position equal to the length: the player moves on to the next track only
 * then.
 */
typedef void (*LorimelPlayerNotify)(void* context, void* sender);

/*
 * The record _Open returns: 28 bytes, little-endian. The player reads only
 * the two flag bytes, right after the call, and neither frees nor keeps the
 * record; the library owns it (one static record is enough) and it must
 * stay valid until the next call into the library. The other slots are
 * reserved: fill them with zero. They are 32-bit wide on every platform,
 * so no pointer is ever passed through them.
 */
typedef struct LorimelOpenResult {
    uint32_t reserved0;
    uint8_t audio_only; /* non-zero: no picture; zero: a video */
    uint8_t reserved5[3];
    uint32_t file_name_slot; /* reserved */
    uint8_t opened;          /* non-zero: opened; zero: the open failed */
    uint8_t reserved13[3];
    uint32_t error_slot;  /* reserved */
    int32_t video_width;  /* reserved (the player asks _GetVideoWidth) */
    int32_t video_height; /* reserved (the player asks _GetVideoHeight) */
} LorimelOpenResult;

LORIMEL_PLAYER_STATIC_ASSERT(sizeof(LorimelOpenResult) == 28, "the open record is 28 bytes");
LORIMEL_PLAYER_STATIC_ASSERT(offsetof(LorimelOpenResult, audio_only) == 4,
                             "the picture flag is byte 4");
LORIMEL_PLAYER_STATIC_ASSERT(offsetof(LorimelOpenResult, file_name_slot) == 8,
                             "the file name slot is at 8");
LORIMEL_PLAYER_STATIC_ASSERT(offsetof(LorimelOpenResult, opened) == 12,
                             "the opened flag is byte 12");
LORIMEL_PLAYER_STATIC_ASSERT(offsetof(LorimelOpenResult, error_slot) == 16,
                             "the error slot is at 16");
LORIMEL_PLAYER_STATIC_ASSERT(offsetof(LorimelOpenResult, video_width) == 20,
                             "the width slot is at 20");
LORIMEL_PLAYER_STATIC_ASSERT(offsetof(LorimelOpenResult, video_height) == 24,
                             "the height slot is at 24");

/* The size of the buffer _Description writes into. */
#define LORIMEL_PLAYER_DESCRIPTION_SIZE 128

/* Mode codes returned by _GetMode (only the lowest byte is read). The
 * player tells apart only "playing" and "paused". */
enum {
    LORIMEL_MODE_NOT_READY = 0,
    LORIMEL_MODE_STOPPED = 1,
    LORIMEL_MODE_PLAYING = 2,
    LORIMEL_MODE_RECORDING = 3,
    LORIMEL_MODE_SEEKING = 4,
    LORIMEL_MODE_PAUSED = 5,
    LORIMEL_MODE_OPEN = 6
};

/*
 * Binds the library to the player. application is the player's
 * QApplication and screen its primary QScreen; display (passed twice, in
 * both places) is the QWidget of the video window's panel, where the
 * library places its picture (a native child window or a child widget).
 * The library may use these objects only from the user-interface thread.
 * display may be null when the player has no video window yet.
 */
LORIMEL_PLAYER_EXPORT void _InitPlayer(void* application, void* screen, void* display,
                                       void* display2, LorimelPlayerNotify notify, void* context);
/* Releases everything; the library is unloaded right after. */
LORIMEL_PLAYER_EXPORT void _DeinitPlayer(void);
/* Opens a file (closing the previous one). Null counts as a failed open.
 * The path is valid only during the call. */
LORIMEL_PLAYER_EXPORT const LorimelOpenResult* _Open(const char* path);
/* Plays from the current position (from the start when at the end). */
LORIMEL_PLAYER_EXPORT void _Play(void);
LORIMEL_PLAYER_EXPORT void _Pause(void);
/* Continues after a pause. */
LORIMEL_PLAYER_EXPORT void _Resume(void);
LORIMEL_PLAYER_EXPORT void _Stop(void);
/* Closes the open file. */
LORIMEL_PLAYER_EXPORT void _Close(void);
/* Length and position of the open file in milliseconds. */
LORIMEL_PLAYER_EXPORT int32_t _GetLength(void);
LORIMEL_PLAYER_EXPORT int32_t _GetPosition(void);
/* A LORIMEL_MODE_ code in the lowest byte. */
LORIMEL_PLAYER_EXPORT int32_t _GetMode(void);
/* Moves to a position in milliseconds. */
LORIMEL_PLAYER_EXPORT void _SetPosition(int32_t ms);
/* The open (or last closed) file. The player copies the text at once; it
 * must stay valid until the next call into the library. Null counts as
 * empty. */
LORIMEL_PLAYER_EXPORT const char* _GetFileName(void);
/* 1: full screen on; 0: off (only the lowest byte is meaningful). */
LORIMEL_PLAYER_EXPORT void _SetFullScreen(int32_t fullScreen);
/* Non-zero in the lowest byte: the open file has a picture. */
LORIMEL_PLAYER_EXPORT int32_t _HasVideo(void);
/* Source size of the video in pixels; 0 when unknown. */
LORIMEL_PLAYER_EXPORT int32_t _GetVideoWidth(void);
LORIMEL_PLAYER_EXPORT int32_t _GetVideoHeight(void);
/* Draws a text at (x, y) of the display. */
LORIMEL_PLAYER_EXPORT void _OutputText(int32_t x, int32_t y, const char* text);
/* Repaints the picture after the display was shown or resized. */
LORIMEL_PLAYER_EXPORT void _Refresh(void);
/* Writes a readable name of the library, at most 127 characters and a
 * terminating zero, into a buffer of LORIMEL_PLAYER_DESCRIPTION_SIZE
 * bytes. The result is not used. */
LORIMEL_PLAYER_EXPORT int32_t _Description(char* buffer);

#ifdef __cplusplus
}
#endif

#endif /* LORIMEL_PLAYER_PLUGIN_H */
