// The host's panel records, declared from its published 32-bit layouts.
//
// The win32 build must match the host byte for byte: 4-byte packing (doubles
// 4-aligned) and the host's calling convention. The native build keeps its
// natural layout; it only ever talks to our own panel host.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define ORVANE_HOST_LAYOUT 1
#define HOST_CALL __stdcall
#else
#define ORVANE_HOST_LAYOUT 0
#define HOST_CALL
#endif

// The DLL's exports are named in its .def file; the native library marks them.
#if defined(_WIN32)
#define ORVANE_EXPORT
#else
#define ORVANE_EXPORT __attribute__((visibility("default")))
#endif

namespace orvane {

#if ORVANE_HOST_LAYOUT
#pragma pack(push, 4)
#endif

struct GaugeHeader;
struct ElementHeader;
struct ElementString;
struct ElementSlider;
struct ElementIcon;
struct ElementMovingImage;
struct ElementSprite;
struct MouseRect;
struct Image;  // host-owned drawing surface; the module never looks inside

struct PixPoint {
    int32_t x;
    int32_t y;
};

struct PixBox {
    int32_t x;
    int32_t y;
    int32_t size_x;
    int32_t size_y;
};

struct ImageSet {
    Image* final_image;
    Image* source;
    Image* reserved1;
    Image* reserved2;
};

struct SeqRec {
    int32_t seq_id;
    int32_t sel_str;
    int32_t sel_end;
};

struct FailureRecord {
    int32_t key;
    int32_t action;
    void* reserved;
};

// The host writes one of these members; the module only ever reads `n`.
union HostValue {
    double n;
    int32_t b;
    int32_t e;
    uint32_t f;
    void* p;
    int32_t d;
    int32_t o;
};

struct ModuleVar {
    int32_t id;  // the only field the module sets; everything after is the host's
    void* var_ptr;
    int32_t var_type;
    HostValue value;
    HostValue previous;
};

using ModuleVarCallback = double(HOST_CALL*)(ModuleVar*);
using LagFunction = double(HOST_CALL*)(double);
using StringCallback = double(HOST_CALL*)(ElementString*);
using SliderCallback = double(HOST_CALL*)(ElementSlider*);
using IconCallback = double(HOST_CALL*)(ElementIcon*);
using MovingImageCallback = double(HOST_CALL*)(ElementMovingImage*);
using SpriteCallback = double(HOST_CALL*)(ElementSprite*);

// The service callback's extra value is 32 bits on the host; the native
// build widens it so that an instance handle (a base address) fits.
using ServiceExtra = uintptr_t;
using ServiceCallback = void(HOST_CALL*)(GaugeHeader*, int32_t service, ServiceExtra extra);
using MouseFunction = int32_t(HOST_CALL*)(PixPoint* point, uint32_t mouse_flags);

enum ElementKind : int32_t {
    ELEMENT_STATIC_IMAGE = 0,
    ELEMENT_NEEDLE = 1,
    ELEMENT_STRING = 2,
    ELEMENT_SLIDER = 3,
    ELEMENT_ICON = 4,
    ELEMENT_MOVING_IMAGE = 5,
    ELEMENT_SPRITE = 6,
};

struct ElementHeader {
    int32_t element_type;
    int32_t resource_id;  // bitmap id; -1 for texts
    PixPoint position;
    PixPoint previous_position;
    PixPoint ofs;  // the sprite's texture centre, zero elsewhere
    GaugeHeader* gauge_header;
    ElementHeader* previous_element;
    ElementHeader** next_element;  // null-terminated list holding the next element
    FailureRecord* failure_systems;
    uint32_t image_flags;
    uint32_t aircraft_special_instrumentation;
    uint32_t reserved;
};

struct ElementStaticImage {
    ElementHeader header;
    ImageSet image_data;
    Image* save_buffer;
    void* hdc;
    void* hbmp;
    void* reserved1;
    void* reserved2;
};

struct ElementIcon {
    ElementHeader header;
    ModuleVar source_var;
    ModuleVarCallback source_var_cb;
    int32_t switch_type;
    int32_t switch_count;
    double scale;
    int32_t offset;
    int32_t num_icons;
    int32_t cur_icon;
    int32_t dst_icon;
    ImageSet* picon_data;
    Image* save_buffer;
    IconCallback update_cb;
    void* reserved1;
};

struct ElementString {
    ElementHeader header;
    ModuleVar source_var[3];
    double save_var[3];
    ModuleVarCallback source_var_cb[3];
    void* source_fn;
    char* string;  // the host supplies the buffer: max_string_length + 1 bytes
    char* string_old;
    PixPoint img_size;
    Image* string_data;
    Image* save_buffer;
    uint32_t fg_color;  // Windows colour values, 0x00BBGGRR
    uint32_t bg_color;
    uint32_t hilite_color;
    void* hdc;
    void* hfont;
    void* reserved1;
    void* hbmp;
    void* reserved2;
    void* hbrush;
    void* reserved3;
    char font_name[32];
    int32_t font_weight;
    uint8_t font_charset;
    uint32_t draw_text_flags;
    uint16_t max_string_length;  // the character count
    uint16_t char_width;
    int16_t sel_str;
    int16_t sel_end;
    SeqRec* seq;
    int32_t save_global_seq;
    int32_t char_height;
    StringCallback update_cb;
    int32_t use_user_color;
    uint32_t user_color;
};

struct ElementSlider {
    ElementHeader header;
    ModuleVar source_var_x;
    ModuleVarCallback source_var_x_cb;
    double scale_x;  // pixels per unit
    LagFunction lag_fn_x;
    ModuleVar source_var_y;
    ModuleVarCallback source_var_y_cb;
    double scale_y;
    LagFunction lag_fn_y;
    ImageSet slider_data;
    Image* save_buffer;
    SliderCallback update_x_cb;
    SliderCallback update_y_cb;
    double previous_x;
    double previous_y;
};

struct ElementMovingImage {
    ElementHeader header;
    ModuleVar source_var_x;
    ModuleVarCallback source_var_x_cb;
    double min_x;
    double max_x;
    LagFunction lag_x;
    ModuleVar source_var_y;
    ModuleVarCallback source_var_y_cb;
    double min_y;
    double max_y;
    LagFunction lag_y;
    double scale_x;
    double scale_y;
    double offset_x;
    double offset_y;
    PixPoint save_position;
    ImageSet image_data;
    ImageSet local_mask_data;
    Image* mask_data;
    Image* save_buffer;
    MovingImageCallback update_x_cb;
    MovingImageCallback update_y_cb;
    double previous_x;
    double previous_y;
};

struct ElementSprite {
    ElementHeader header;
    ModuleVar source_var_x;
    ModuleVarCallback source_var_x_cb;
    double scale_x;
    ModuleVar source_var_y;
    ModuleVarCallback source_var_y_cb;
    double scale_y;
    ModuleVar source_var_0;  // rotation
    ModuleVarCallback source_var_0_cb;
    double scale_0;
    float texture_scale_x;
    float texture_scale_y;
    PixPoint reference;
    PixPoint reference_old;
    PixPoint o[4];
    PixPoint os[4];
    ImageSet sprite_data;
    Image* texture_data;
    uint32_t texture_handle;
    ImageSet local_mask_data;
    Image* mask_data;
    Image* save_buffer;
    SpriteCallback update_x_cb;
    SpriteCallback update_y_cb;
    SpriteCallback update_0_cb;
    double previous_x;
    double previous_y;
    double previous_0;
};

enum MouseRectKind : int32_t {
    MOUSE_END_OF_TABLE = 0,
    MOUSE_OPEN_AREA = 1,
    MOUSE_CLICK_AREA = 2,
    MOUSE_CLOSE_AREA = 3,
    MOUSE_TOOLTIP = 4,
};

// Tooltip rows carry their text where click rows carry their handler.
union MouseAction {
    MouseFunction handler;
    const char* tooltip;
};

struct MouseRect {
    int32_t rect_type;
    PixBox relative_box;  // relative to the enclosing area; 0,0,0,0 is the whole gauge
    int32_t cursor;
    uint32_t help_id;
    uint32_t mouse_flags;
    uint32_t event_id;  // the key event the host sends itself on a click
    MouseAction action;
    void* api_data;
};

// The host's record of a click, which a mouse handler's point argument points
// to: it starts with the point relative to the click area, so that a handler
// may read the point alone.
struct MouseCallback {
    PixPoint relative_point;
    GaugeHeader* user_data;  // the gauge clicked
    MouseRect* mouse;        // the click row that matched
    PixPoint screen_point;
    void* reserved;
};

using ElementListRoutine = void(HOST_CALL*)();
using ElementListInstallRoutine = void(HOST_CALL*)(void* resource_handle);
using ElementListGenerateRoutine = void(HOST_CALL*)(uint32_t phase);

struct GaugeHeader {
    uint32_t gauge_header_version;
    const char* gauge_name;
    ElementHeader** elements_list;
    ElementListRoutine query_routine;
    ElementListInstallRoutine install_routine;
    ElementListRoutine initialize_routine;
    ElementListRoutine update_routine;
    ElementListGenerateRoutine generate_routine;
    ElementListRoutine draw_routine;
    ElementListRoutine kill_routine;
    void* reserved1;
    uint32_t size_x_mm;
    uint32_t size_y_mm;
    float x_adjust;
    float y_adjust;
    void* reserved2;
    void* reserved3;
    PixPoint position;
    void* reserved4;
    MouseRect* mouse_rect;
    ServiceCallback gauge_callback;
    uint32_t user_data;
    char* parameters;
    char* usage;
    int32_t reserved5;
    void* reserved6;
    PixPoint size;
    double user_area[10];
    uint32_t flags;
    void* reserved7;
    uint8_t guid[16];
    uint32_t key_id;
    void* serialize_callbacks[5];
    PixPoint original_position;
};

// Slot n of the host's function table is its n-th pointer-sized entry.
using HostOperation = void(HOST_CALL*)();
inline constexpr int host_function_table_slots = 86;

struct HostFunctionTable {
    HostOperation slot[host_function_table_slots];
};

enum HostSlot : int {
    SLOT_ELEMENT_LIST_QUERY = 24,
    SLOT_ELEMENT_LIST_INSTALL = 25,
    SLOT_ELEMENT_LIST_INITIALIZE = 26,
    SLOT_ELEMENT_LIST_UPDATE = 27,
    SLOT_ELEMENT_LIST_GENERATE = 28,
    SLOT_ELEMENT_LIST_DRAW = 29,
    SLOT_ELEMENT_LIST_ERASE = 30,
    SLOT_ELEMENT_LIST_KILL = 31,
    SLOT_TRIGGER_KEY_EVENT = 36,
    SLOT_REFRESH_VAR = 40,
};

using HostElementListOperation = void(HOST_CALL*)(ElementHeader*);
using HostElementListValueOperation = void(HOST_CALL*)(ElementHeader*, uintptr_t value);
using HostTriggerKeyEvent = uint32_t(HOST_CALL*)(uint32_t event, uint32_t value);
using HostRefreshVar = void(HOST_CALL*)(ModuleVar*);

struct ImportEntry {
    uint32_t id;
    HostFunctionTable* table;
};

inline constexpr uint32_t import_id_panels = 0x0000000F;
inline constexpr int import_table_entries = 2;

struct GaugeModuleImports {
    ImportEntry entry[import_table_entries];
};

using ModuleRoutine = void(HOST_CALL*)();

inline constexpr uint32_t module_id_gauges = 0x00000013;
inline constexpr int module_gauge_count = 5;

struct GaugeModuleLinkage {
    uint32_t module_id;
    ModuleRoutine module_init;
    ModuleRoutine module_deinit;
    uint32_t module_flags;
    uint32_t module_priority;
    uint32_t module_version;
    GaugeHeader* gauge_table[module_gauge_count + 1];  // ends with a null pointer
};

#if ORVANE_HOST_LAYOUT
#pragma pack(pop)
#endif

// Constants the module stores in its records or passes to the host.
inline constexpr uint32_t gauge_header_version_700 = 700;

inline constexpr uint32_t IMAGE_USE_TRANSPARENCY = 0x1;
inline constexpr uint32_t IMAGE_USE_ERASE = 0x2;
inline constexpr uint32_t IMAGE_USE_BRIGHT = 0x4;
inline constexpr uint32_t IMAGE_BILINEAR_COLOR = 0x80;
inline constexpr uint32_t IMAGE_USE_LUMINOUS = 0x4000;
inline constexpr uint32_t IMAGE_HIDDEN = 0x40000000;

inline constexpr int32_t CURSOR_NONE = -1;
inline constexpr int32_t CURSOR_NORMAL = 0;
inline constexpr int32_t CURSOR_UPARROW = 1;
inline constexpr int32_t CURSOR_DOWNARROW = 2;
inline constexpr int32_t CURSOR_LEFTARROW = 3;
inline constexpr int32_t CURSOR_RIGHTARROW = 4;
inline constexpr int32_t CURSOR_HAND = 5;
inline constexpr int32_t CURSOR_CROSSHAIR = 6;
inline constexpr int32_t CURSOR_GRAB = 7;

inline constexpr uint32_t MOUSE_RIGHTSINGLE = 0x80000000;
inline constexpr uint32_t MOUSE_LEFTSINGLE = 0x20000000;
inline constexpr uint32_t MOUSE_DOWN_REPEAT = 0x00200000;
inline constexpr uint32_t MOUSE_CLICK = MOUSE_RIGHTSINGLE | MOUSE_LEFTSINGLE;        // 0xA0000000
inline constexpr uint32_t MOUSE_CLICK_REPEAT = MOUSE_CLICK | MOUSE_DOWN_REPEAT;      // 0xA0200000

// The service callback's codes, in the order a host sends them around each
// phase; the gauges act on 2, 6 and 12 and ignore the others.
enum ServiceCode : int32_t {
    SERVICE_PRE_INSTALL = 2,  // extra: the module's instance handle
    SERVICE_POST_INSTALL = 3,
    SERVICE_PRE_INITIALIZE = 4,
    SERVICE_POST_INITIALIZE = 5,
    SERVICE_PRE_UPDATE = 6,
    SERVICE_POST_UPDATE = 7,
    SERVICE_PRE_KILL = 12,
    SERVICE_POST_KILL = 13,
};

enum FailureKey : int32_t {
    FAIL_NONE = 0,
    FAIL_SYSTEM_VACUUM = 4,
    FAIL_GAUGE_ATTITUDE = 8,
    FAIL_SYSTEM_ELECTRICAL_PANELS = 20,
};

enum FailureAction : int32_t {
    FAIL_ACTION_NONE = 0,
    FAIL_ACTION_NO_DRAW = 3,
};

// Windows colour value from its red, green and blue parts.
constexpr uint32_t rgb(uint32_t r, uint32_t g, uint32_t b) { return r | (g << 8) | (b << 16); }

// Windows DrawText flags: centred across and down, one line.
inline constexpr uint32_t DRAW_TEXT_CENTER = 0x1;
inline constexpr uint32_t DRAW_TEXT_VCENTER = 0x4;
inline constexpr uint32_t DRAW_TEXT_SINGLELINE = 0x20;
inline constexpr uint32_t DRAW_TEXT_CENTRED_LINE =
    DRAW_TEXT_CENTER | DRAW_TEXT_VCENTER | DRAW_TEXT_SINGLELINE;  // 0x25

}  // namespace orvane
