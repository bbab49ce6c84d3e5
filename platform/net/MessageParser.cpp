#include <net/MessageParser.h>

#include "HeaderDecoding.h"

#include <net/IdAttachment.h>
#include <net/IdException.h>
#include <net/IdText.h>
#include <net/ReceivedContent.h>

#include <runtime/Cp1250.h>
#include <runtime/DateTime.h>
#include <runtime/SysUtils.h>

#include <cstdlib>
#include <mutex>

#include <fcntl.h>
#include <unistd.h>

namespace net {

namespace {

void initGMime() {
    static std::once_flag once;
    std::call_once(once, [] { g_mime_init(); });
}

std::string toCp1250(const char* utf8) {
    return utf8 ? rtl::utf8ToCp1250(utf8) : std::string();
}

// Problems that mean the message did not arrive whole or cannot be followed: its parts would
// be cut short, so none of them is offered.
void onParserWarning(gint64, GMimeParserWarning code, const gchar*, gpointer data) {
    switch (code) {
    case GMIME_WARN_TRUNCATED_MESSAGE:
    case GMIME_CRIT_MULTIPART_WITHOUT_BOUNDARY:
    case GMIME_CRIT_NESTING_OVERFLOW:
    case GMIME_CRIT_PART_WITHOUT_HEADERS_OR_CONTENT:
        *static_cast<bool*>(data) = true;
        break;
    default:
        break;
    }
}

// The name and, for a mailbox (not a group), the address.
void fillItem(InternetAddress* a, TIdEmailAddressItem& item) {
    item.SetName(toCp1250(internet_address_get_name(a)));
    if (INTERNET_ADDRESS_IS_MAILBOX(a))
        item.SetAddress(toCp1250(internet_address_mailbox_get_addr(INTERNET_ADDRESS_MAILBOX(a))));
}

void fillAddress(InternetAddressList* list, TIdEmailAddressItem& item) {
    if (list && internet_address_list_length(list) > 0)
        fillItem(internet_address_list_get_address(list, 0), item);
}

void fillList(InternetAddressList* list, TIdEmailAddressList& out) {
    if (!list)
        return;
    for (int i = 0; i < internet_address_list_length(list); ++i) {
        InternetAddress* a = internet_address_list_get_address(list, i);
        if (INTERNET_ADDRESS_IS_MAILBOX(a))
            fillItem(a, out.Add());
    }
}

std::string contentTypeOf(GMimeObject* o) {
    GMimeContentType* ct = g_mime_object_get_content_type(o);
    if (!ct)
        return "text/plain";
    const char* type = g_mime_content_type_get_media_type(ct);
    const char* subtype = g_mime_content_type_get_media_subtype(ct);
    return rtl::LowerCase(std::string(type ? type : "text") + "/" + (subtype ? subtype : "plain"));
}

std::string textOf(GMimeObject* o) {
    if (!GMIME_IS_TEXT_PART(o))
        return {};
    char* text = g_mime_text_part_get_text(GMIME_TEXT_PART(o));
    std::string s = toCp1250(text);
    g_free(text);
    return s;
}

bool isAttachment(GMimeObject* o) {
    if (GMIME_IS_MESSAGE_PART(o))
        return true;
    if (!GMIME_IS_PART(o))
        return false;
    GMimePart* p = GMIME_PART(o);
    if (g_mime_part_is_attachment(p) || g_mime_part_get_filename(p))
        return true;
    return !GMIME_IS_TEXT_PART(o);
}

// A header's raw value, or null when the object has no such header.
const char* rawHeader(GMimeObject* o, const char* name) {
    GMimeHeader* h = g_mime_header_list_get_header(g_mime_object_get_header_list(o), name);
    return h ? g_mime_header_get_raw_value(h) : nullptr;
}

// The attachment's file name (UTF-8). An RFC 2231 name is decoded here, as GMime's C string
// would end at a NUL inside it and so hide a name that is no valid file name.
std::string fileNameOf(GMimeObject* o) {
    for (auto [header, parameter] : {std::pair{"Content-Disposition", "filename"}, std::pair{"Content-Type", "name"}})
        if (const char* raw = rawHeader(o, header))
            if (auto name = detail::Rfc2231Parameter(raw, parameter))
                return *name;
    const char* name = GMIME_IS_PART(o) ? g_mime_part_get_filename(GMIME_PART(o))
                                        : g_mime_object_get_content_disposition_parameter(o, "filename");
    return name ? name : "";
}

void addPart(GMimeObject* o, TIdMessage& msg) {
    if (GMIME_IS_MULTIPART(o)) {
        GMimeMultipart* mp = GMIME_MULTIPART(o);
        for (int i = 0; i < g_mime_multipart_get_count(mp); ++i)
            addPart(g_mime_multipart_get_part(mp, i), msg);
        return;
    }
    if (isAttachment(o)) {
        auto att = std::make_unique<TIdAttachment>();
        att->SetContentType(contentTypeOf(o));
        att->SetFileName(rtl::utf8ToCp1250(fileNameOf(o)));
        att->SetReceivedContent(std::make_shared<ReceivedContent>(o));
        msg.MessageParts().Add(std::move(att));
        return;
    }
    auto text = std::make_unique<TIdText>();
    text->SetContentType(contentTypeOf(o));
    text->SetBody(textOf(o));
    msg.MessageParts().Add(std::move(text));
}

} // namespace

void ParseMessageFile(int fd, TIdMessage& msg, bool headersOnly) {
    initGMime();
    msg.Clear();
    GMimeStream* stream = g_mime_stream_fs_new(fd); // owns fd from here
    GMimeParser* parser = g_mime_parser_new_with_stream(stream);
    g_object_unref(stream);
    g_mime_parser_set_persist_stream(parser, TRUE);
    GMimeParserOptions* options = g_mime_parser_options_new();
    bool broken = false;
    if (!headersOnly)
        g_mime_parser_options_set_warning_callback(options, onParserWarning, &broken);
    GMimeMessage* message = g_mime_parser_construct_message(parser, options);
    g_object_unref(parser);
    g_mime_parser_options_free(options);
    if (!message || broken) {
        if (message)
            g_object_unref(message);
        throw EIdMessageError("Message is malformed.");
    }

    // From the raw header: GMime's decoded subject loses the blanks at its end, and the title
    // comparison counts them.
    if (const char* subject = rawHeader(GMIME_OBJECT(message), "Subject"))
        msg.SetSubject(rtl::utf8ToCp1250(detail::DecodeHeaderText(subject)));
    fillAddress(g_mime_message_get_from(message), msg.From());
    fillList(g_mime_message_get_to(message), msg.Recipients());
    fillList(g_mime_message_get_reply_to(message), msg.ReplyTo());
    if (GDateTime* date = g_mime_message_get_date(message)) {
        GDateTime* local = g_date_time_to_local(date);
        if (local) {
            msg.SetDate(rtl::EncodeDateTime(g_date_time_get_year(local), g_date_time_get_month(local),
                                            g_date_time_get_day_of_month(local), g_date_time_get_hour(local),
                                            g_date_time_get_minute(local), g_date_time_get_second(local)));
            g_date_time_unref(local);
        }
    }

    GMimeObject* body = g_mime_message_get_mime_part(message);
    if (!headersOnly && body) {
        if (!GMIME_IS_MULTIPART(body) && !isAttachment(body))
            msg.SetBody(textOf(body));
        else
            addPart(body, msg);
    }
    g_object_unref(message); // the parts keep what they need
}

int OpenSpoolFile() {
    const char* dir = std::getenv("TMPDIR");
    std::string folder = dir && *dir ? dir : "/tmp";
    int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0)
        return fd;
    std::string name = folder + "/vlnet-spool-XXXXXX";
    fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd >= 0)
        ::unlink(name.c_str());
    return fd;
}

void WriteSpool(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n <= 0)
            throw EIdException("Cannot write a temporary file.");
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

void ParseMessageBytes(std::string_view bytes, TIdMessage& msg, bool headersOnly) {
    int fd = OpenSpoolFile();
    if (fd < 0)
        throw EIdException("Cannot create a temporary file.");
    try {
        WriteSpool(fd, bytes);
    } catch (const EIdException&) {
        ::close(fd);
        throw;
    }
    ::lseek(fd, 0, SEEK_SET);
    ParseMessageFile(fd, msg, headersOnly);
}

} // namespace net
