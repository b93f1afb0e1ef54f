#pragma once
// The entry points of our music library (libstreammusic.so), which the game
// loads at run time from its own folder. Plain C, so the table of entry points
// can be resolved by name. Handles are never 0; 0 means failure.
#include <stdint.h>

#define MUSIC_LIBRARY_FILE "libstreammusic.so"

typedef uint32_t MUSIC_HANDLE;

// Options of MUSIC_SetConfig.
#define MUSIC_CONFIG_BUFFER 0          // decode-ahead in milliseconds (capped at 500)
#define MUSIC_CONFIG_STREAM_VOLUME 5   // stream bus gain in 1/10000
#define MUSIC_CONFIG_MODULE_VOLUME 6   // module bus gain in 1/10000
#define MUSIC_CONFIG_DECODE_IN_MIX 0x10000  // 1: no feeder thread, MUSIC_Mix decodes (offline use)

// Attributes of MUSIC_ChannelSetAttribute.
#define MUSIC_ATTRIB_FREQ 1     // ignored: channels play at their own rate
#define MUSIC_ATTRIB_VOL 2      // linear 0..1
#define MUSIC_ATTRIB_PAN 3      // -1..1; anything else is ignored
#define MUSIC_ATTRIB_AMPLIFY 0x100  // modules: 0..100, 50 is unity

// Flags.
#define MUSIC_FLAG_LOOP 4
#define MUSIC_FLAG_RAMP 0x200
#define MUSIC_FLAG_STOP_ON_SEEK 0x8000
#define MUSIC_POSITION_ORDER_ROW 0x80000000u  // module positions: order | row << 16

// Channel states.
#define MUSIC_STOPPED 0
#define MUSIC_PLAYING 1
#define MUSIC_PAUSED 3

#ifdef __cplusplus
extern "C" {
#endif

typedef int (*MUSIC_Init_t)(int device, uint32_t freq, uint32_t flags, void* window, void* clsid);
typedef int (*MUSIC_Free_t)(void);
typedef int (*MUSIC_Start_t)(void);
typedef int (*MUSIC_Stop_t)(void);
typedef int (*MUSIC_SetConfig_t)(uint32_t option, uint32_t value);
typedef MUSIC_HANDLE (*MUSIC_StreamCreateFile_t)(int memory, const void* file, uint64_t offset, uint64_t length,
                                                 uint32_t flags);
typedef MUSIC_HANDLE (*MUSIC_MusicLoad_t)(int memory, const void* file, uint64_t offset, uint32_t length,
                                          uint32_t flags, uint32_t freq);
typedef int (*MUSIC_StreamFree_t)(MUSIC_HANDLE handle);
typedef int (*MUSIC_MusicFree_t)(MUSIC_HANDLE handle);
typedef int (*MUSIC_ChannelStop_t)(MUSIC_HANDLE handle);
typedef int (*MUSIC_ChannelPlay_t)(MUSIC_HANDLE handle, int restart);
typedef int (*MUSIC_ChannelPause_t)(MUSIC_HANDLE handle);
typedef uint32_t (*MUSIC_ChannelIsActive_t)(MUSIC_HANDLE handle);
typedef int (*MUSIC_ChannelSetAttribute_t)(MUSIC_HANDLE handle, uint32_t attribute, float value);
typedef int (*MUSIC_ChannelSetPosition_t)(MUSIC_HANDLE handle, uint64_t position, uint32_t mode);
typedef uint32_t (*MUSIC_ChannelFlags_t)(MUSIC_HANDLE handle, uint32_t flags, uint32_t mask);
// Adds every playing channel into interleaved float stereo at the rate given
// to MUSIC_Init; called from the host's mixer.
typedef void (*MUSIC_Mix_t)(float* stereo, int frames);
// 1 when MUSIC_Mix would add anything: a channel playing at a volume above 0
// on a bus above 0. The host may stop calling MUSIC_Mix while it is 0 (the
// channels then hold their place).
typedef int (*MUSIC_Audible_t)(void);

#ifdef __cplusplus
}
#endif
