// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A streaming XML 1.0 tokenizer that checks well-formedness as it goes: tags
// that match, attributes written properly and not repeated, references to the
// five predefined entities or to characters XML allows, comments, CDATA, one
// root element with nothing but comments, processing instructions and blanks
// around it. Of a DOCTYPE, the general entities its internal subset declares
// are kept and expanded where they are used (see xml_entities.h); the rest is
// skipped. An external entity is never read: a reference to one is refused
// with a message that says so. Namespaces are
// not processed: "xml:lang" is just a name, though names are held to what
// namespaces allow (one colon at most, inside the name), as readers that do
// process them would refuse the file otherwise.
//
// Character data is not returned as events: it goes straight into the string
// given to setTextOutput(), cleaned as a segment (segment_text.h), or is
// dropped. That keeps the common path, text between tags, to one vector scan
// and one copy.

#include "tmx/segment_text.h"
#include "tmx/xml_entities.h"
#include "tmx/xml_input.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

namespace solandre {

class XmlTokenizer {
public:
    enum class Event { StartElement, EndElement, EndOfDocument };

    // Deeper nesting than any memory needs is refused: each open element
    // is held until it closes.
    static constexpr int kMaxDepth = 1000;
    // So is a segment larger than this, since it is held whole.
    static constexpr size_t kMaxText = size_t(16) << 20;

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

    // Reads an entity's content, wrapped in one element, with the entities
    // of the document that refers to it.
    XmlTokenizer(XmlInput& input, std::shared_ptr<XmlEntities> entities)
        : in_(input), p_(input.end()), entities_(std::move(entities))
    {
    }

    bool ensure(size_t n);
    [[noreturn]] void failAtEnd(const char* inside) const;
    bool skipOutsideRoot();
    void readText();
    void putSpecial();
    void checkNotCdataEnd();
    void checkTextSize() const;
    void readReference();
    // A reference to a declared entity gives `entity` (and no character).
    bool parseReference(const char* amp, const char*& q, char32_t& c, XmlEntity** entity = nullptr) const;
    XmlEntity& declared(const char* amp, std::string_view name) const;
    void resolve(XmlEntity& entity, std::string_view name, const char* at);
    void resolveText(XmlEntity& entity, std::string_view name, const char* at);
    void resolveMarkup(XmlEntity& entity, std::string_view name, const char* at);
    void addExpanded(size_t bytes, const char* at);
    bool replaying() const { return replay_ && replayAt_ < replay_->size(); }
    bool replayEvent(Event& event);
    void readEntityDeclaration();
    bool parseEntityDeclaration();
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
    // The names of a tag with many attributes, so that finding a repeated
    // one stays linear.
    std::unordered_set<std::string_view> attributeNames_;
    bool rootSeen_ = false;
    bool doctypeSeen_ = false;
    bool atStart_ = true;
    std::string* out_ = nullptr;
    std::string* paused_ = nullptr;
    SegmentCleaner cleaner_;

    std::shared_ptr<XmlEntities> entities_;
    // The events of an entity with markup, handed out one by one.
    const std::vector<XmlEvent>* replay_ = nullptr;
    size_t replayAt_ = 0;
    size_t tagExpanded_ = 0; // by the references in the attributes of the tag being read
};

} // namespace solandre
