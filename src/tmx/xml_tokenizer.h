// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A streaming XML 1.0 tokenizer that checks well-formedness as it goes: tags
// that match, attributes written properly and not repeated, references to the
// five predefined entities or to characters XML allows, comments, CDATA, one
// root element with nothing but comments, processing instructions and blanks
// around it. A DOCTYPE is skipped, internal subset included; entities it
// declares are not expanded (a reference to one is refused). Namespaces are
// not processed: "xml:lang" is just a name, though names are held to what
// namespaces allow (one colon at most, inside the name), as readers that do
// process them would refuse the file otherwise.
//
// Character data is not returned as events: it goes straight into the string
// given to setTextOutput(), cleaned as a segment (segment_text.h), or is
// dropped. That keeps the common path, text between tags, to one vector scan
// and one copy.

#include "tmx/segment_text.h"
#include "tmx/xml_input.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace solandre {

class XmlTokenizer {
public:
    enum class Event { StartElement, EndElement, EndOfDocument };

    explicit XmlTokenizer(XmlInput& input) : in_(input), p_(input.end()) {}

    // Reads on to the next tag. Throws XmlFault at the first fault, with its
    // line and column. An empty element <x/> gives a start and an end.
    Event next();

    // The element of the last event, and its depth (the root is at 1).
    std::string_view name() const { return stack_[size_t(eventDepth_ - 1)]; }
    int depth() const { return eventDepth_; }
    // An attribute of the element just started. The view lasts until the
    // next call of next().
    std::optional<std::string_view> attribute(std::string_view name) const;

    // Where character data goes from now on; nullptr drops it.
    void setTextOutput(std::string* out)
    {
        out_ = out;
        cleaner_.reset();
    }
    // Drops character data for a while (an inline code inside a segment),
    // then goes on with the same text as if nothing had come between.
    void pauseTextOutput() { paused_ = std::exchange(out_, nullptr); }
    void resumeTextOutput() { out_ = std::exchange(paused_, nullptr); }

    // Where the "<" of the last tag read stands.
    TextPosition tagPosition() const { return in_.positionOf(tagStart_); }

private:
    struct Attribute {
        std::string_view name;  // in the buffer
        std::string_view value; // in the buffer, or in `decoded` when it had references or blanks
        std::string decoded;
    };
    struct Name {
        std::string_view text;
        bool qualified = true; // as namespaces allow
    };

    bool ensure(size_t n);
    [[noreturn]] void failAtEnd(const char* inside) const;
    bool skipOutsideRoot();
    void readText();
    void putSpecial();
    void checkNotCdataEnd();
    char32_t readReference();
    bool parseReference(const char* amp, const char*& q, char32_t& c) const;
    bool scanName(const char*& q, const char* end, Name* name = nullptr) const;
    void readStartTag();
    bool parseStartTag();
    bool parseAttribute(const char*& q);
    void readEndTag();
    bool parseEndTag();
    void readMarkupDeclaration();
    void readComment();
    void readCdata();
    void readDoctype();
    void readProcessingInstruction(bool atStart);
    bool parseXmlDeclaration();

    XmlInput& in_;
    const char* p_;
    const char* tagStart_ = nullptr;
    std::vector<std::string> stack_; // names of the open elements; kept for reuse
    int depth_ = 0;
    int eventDepth_ = 0;
    bool pendingEnd_ = false;
    std::vector<Attribute> attributes_; // kept for reuse
    size_t attributeCount_ = 0;
    bool rootSeen_ = false;
    bool doctypeSeen_ = false;
    bool atStart_ = true;
    std::string* out_ = nullptr;
    std::string* paused_ = nullptr;
    SegmentCleaner cleaner_;
};

} // namespace solandre
