#pragma once

// A received part as GMime holds it (its data stays in the spooled message until saved).
// Internal to the components.

#include <gmime/gmime.h>

namespace net {

struct ReceivedContent {
    explicit ReceivedContent(GMimeObject* o) : object(o) { g_object_ref(object); }
    ~ReceivedContent() { g_object_unref(object); }
    ReceivedContent(const ReceivedContent&) = delete;
    ReceivedContent& operator=(const ReceivedContent&) = delete;

    // Writes the decoded data to `stream`; false on a write failure.
    bool WriteDecoded(GMimeStream* stream) const {
        if (GMIME_IS_PART(object)) {
            GMimeDataWrapper* content = g_mime_part_get_content(GMIME_PART(object));
            if (!content)
                return true;
            return g_mime_data_wrapper_write_to_stream(content, stream) >= 0;
        }
        if (GMIME_IS_MESSAGE_PART(object)) {
            GMimeMessage* inner = g_mime_message_part_get_message(GMIME_MESSAGE_PART(object));
            if (!inner)
                return true;
            return g_mime_object_write_to_stream(GMIME_OBJECT(inner), nullptr, stream) >= 0;
        }
        return true;
    }

    GMimeObject* object;
};

} // namespace net
