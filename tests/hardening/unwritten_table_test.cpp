// A host that never writes its function table into ImportTable, and element
// chains cut short: the module must neither crash nor write where it should not.
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/services/chain.h"
#include "host/services/module_loader.h"
#include "module/cockpit.h"
#include "module/linkage.h"
#include "tests/hardening/bad_values.h"
#include "tests/hardening/invariants.h"
#include "tests/support/guarded_text.h"

namespace orvane::hardening {
namespace {

std::vector<GaugeHeader*> gauges() { return panelhost::gauge_table(&Linkage); }

std::vector<ElementHeader*> chain_of(GaugeHeader* gauge) { return panelhost::walk_chain(gauge).elements; }

std::vector<MouseFunction> handlers_of(const GaugeHeader* gauge) {
    std::vector<MouseFunction> found;
    for (const MouseRect* row = gauge->mouse_rect; row != nullptr && row->rect_type != MOUSE_END_OF_TABLE; ++row) {
        if (row->rect_type == MOUSE_CLICK_AREA && row->event_id == 0 && row->action.handler != nullptr) {
            found.push_back(row->action.handler);
        }
    }
    return found;
}

std::vector<uint32_t> flags_of(const std::vector<ElementHeader*>& chain) {
    std::vector<uint32_t> flags;
    for (const ElementHeader* element : chain) flags.push_back(element->image_flags);
    return flags;
}

// Every call a host can make on the module, with the host's table unwritten.
TEST(UnwrittenFunctionTable, EveryCallbackServiceAndHandlerRunsWithoutTheHost) {
    ASSERT_EQ(ImportTable.entry[0].table, nullptr) << "a test left a host attached";
    cockpit = cockpit_state_at_load;
    for (GaugeHeader* gauge : gauges()) {
        SCOPED_TRACE(gauge->gauge_name);
        for (const int32_t code : service_codes) gauge->gauge_callback(gauge, code, 0);

        // Text callbacks write into guarded buffers of their own size.
        const std::vector<ElementHeader*> chain = chain_of(gauge);
        for (size_t index = 0; index < chain.size(); ++index) {
            ElementHeader* element = chain[index];
            if (element->element_type == ELEMENT_STRING) {
                auto* text = reinterpret_cast<ElementString*>(element);
                orvane::testing::GuardedText buffer(text->max_string_length);
                char* const saved = text->string;
                buffer.attach(*text);
                if (text->update_cb != nullptr) text->update_cb(text);
                text->string = saved;
                EXPECT_TRUE(buffer.intact()) << "text at chain index " << index;
            } else if (element->element_type == ELEMENT_SLIDER) {
                auto* slider = reinterpret_cast<ElementSlider*>(element);
                if (slider->update_x_cb != nullptr) slider->update_x_cb(slider);
                if (slider->update_y_cb != nullptr) slider->update_y_cb(slider);
            }
        }
        PixPoint point{3, 3};
        for (const MouseFunction handler : handlers_of(gauge)) {
            EXPECT_EQ(handler(&point, MOUSE_CLICK), 0);
            EXPECT_EQ(handler(nullptr, 0), 0);
        }
        // The element-list routines go to the host; without one they do nothing.
        gauge->query_routine();
        gauge->install_routine(nullptr);
        gauge->initialize_routine();
        gauge->update_routine();
        gauge->generate_routine(0);
        gauge->draw_routine();
        gauge->kill_routine();
        Linkage.module_init();
        Linkage.module_deinit();
    }
    EXPECT_TRUE(cockpit_faults(cockpit).empty()) << cockpit_faults(cockpit).front();
    EXPECT_EQ(ImportTable.entry[0].table, nullptr);
    for (GaugeHeader* gauge : gauges()) gauge->gauge_callback(gauge, SERVICE_PRE_KILL, 0);
    cockpit = cockpit_state_at_load;
}

// Cutting each gauge's chain after element k: an update of the gauge changes
// no element past the cut, and none before it but in the hide bit.
TEST(CutChains, AnUpdateNeverReachesPastTheCut) {
    for (GaugeHeader* gauge : gauges()) {
        const std::vector<ElementHeader*> chain = chain_of(gauge);
        ASSERT_FALSE(chain.empty()) << gauge->gauge_name;
        for (size_t cut = 0; cut < chain.size(); ++cut) {
            SCOPED_TRACE(std::string(gauge->gauge_name) + " cut after element " + std::to_string(cut));
            // Hidden and shown everywhere in turn, so that an update has something to change.
            for (const bool hidden : {false, true}) {
                for (ElementHeader* element : chain) {
                    element->image_flags = hidden ? element->image_flags | IMAGE_HIDDEN : element->image_flags & ~IMAGE_HIDDEN;
                }
                const std::vector<uint32_t> before = flags_of(chain);
                ElementHeader** const next = chain[cut]->next_element;
                chain[cut]->next_element = nullptr;
                for (const int32_t code : {SERVICE_PRE_INSTALL, SERVICE_PRE_UPDATE, SERVICE_PRE_UPDATE, SERVICE_PRE_KILL}) {
                    gauge->gauge_callback(gauge, code, 0);
                }
                chain[cut]->next_element = next;
                const std::vector<uint32_t> after = flags_of(chain);
                for (size_t i = 0; i < chain.size(); ++i) {
                    const uint32_t changed = before[i] ^ after[i];
                    if (i > cut) {
                        EXPECT_EQ(changed, 0u) << "element " << i;
                    } else {
                        EXPECT_EQ(changed & ~IMAGE_HIDDEN, 0u) << "element " << i;
                    }
                }
            }
            for (size_t i = 0; i < chain.size(); ++i) chain[i]->image_flags &= ~IMAGE_HIDDEN;
        }
    }
    cockpit = cockpit_state_at_load;
}

// The helpers themselves on a chain cut at each index: every index at or past
// the cut finds nothing, so hiding and showing there change nothing.
TEST(CutChains, ShowAndHidePastTheCutDoNothing) {
    constexpr size_t length = 5;
    ElementHeader elements[length] = {};
    ElementHeader* lists[length][2] = {};
    for (size_t i = 0; i + 1 < length; ++i) {
        lists[i][0] = &elements[i + 1];
        elements[i].next_element = lists[i];
    }
    for (size_t cut = 0; cut < length; ++cut) {
        ElementHeader** const saved = elements[cut].next_element;
        elements[cut].next_element = nullptr;
        for (uint32_t n = 0; n < length + 2; ++n) {
            SCOPED_TRACE("cut after " + std::to_string(cut) + ", element " + std::to_string(n));
            ElementHeader* const found = nth_element(&elements[0], n);
            EXPECT_EQ(found, n <= cut ? &elements[n] : nullptr);
            for (ElementHeader& element : elements) element.image_flags = 0x5;
            hide_element(&elements[0], n, IMAGE_HIDDEN);
            for (size_t i = 0; i < length; ++i) {
                EXPECT_EQ(elements[i].image_flags, i == n && n <= cut ? 0x5 | IMAGE_HIDDEN : 0x5u) << i;
            }
            show_element(&elements[0], n, IMAGE_HIDDEN);
            for (const ElementHeader& element : elements) EXPECT_EQ(element.image_flags, 0x5u);
        }
        elements[cut].next_element = saved;
    }
    // A next-element list that is there but empty ends the chain the same way.
    ElementHeader* empty_list[1] = {nullptr};
    elements[1].next_element = empty_list;
    EXPECT_EQ(nth_element(&elements[0], 2), nullptr);
    EXPECT_EQ(nth_element(nullptr, 0), nullptr);
}

TEST(CutChains, AGaugeWithoutElementListIsLeftAlone) {
    for (GaugeHeader* gauge : gauges()) {
        SCOPED_TRACE(gauge->gauge_name);
        ElementHeader** const saved = gauge->elements_list;
        gauge->elements_list = nullptr;
        for (const int32_t code : service_codes) gauge->gauge_callback(gauge, code, 0);
        gauge->gauge_callback(nullptr, SERVICE_PRE_UPDATE, 0);
        gauge->elements_list = saved;
    }
    EXPECT_TRUE(cockpit_faults(cockpit).empty());
    for (GaugeHeader* gauge : gauges()) gauge->gauge_callback(gauge, SERVICE_PRE_KILL, 0);
    cockpit = cockpit_state_at_load;
}

}  // namespace
}  // namespace orvane::hardening
