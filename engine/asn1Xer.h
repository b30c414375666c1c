/*
 * XER half of the generic engine: the XER encoder that interprets a type
 * descriptor, the SAX state machine that rebuilds a value from XML events,
 * and the table-constraint steps of the XER side.
 *
 * Open types that no information object resolves (unknown identifier, an
 * object without type, an open type without table constraint) are written
 * as the upper-case hexadecimal text of their complete encoding inside one
 * element named XER_ENCODED_ELEMENT, <Encoded>3003020101</Encoded>, and
 * exactly that form is read back into the same octets, so DER -> XER -> DER
 * keeps every octet of such values.
 */
#ifndef BLOBXML_ASN1XER_H
#define BLOBXML_ASN1XER_H

#include <cstdint>
#include <memory>
#include <vector>

#include "ASN1XERSAXDecodeHandler.h"
#include "OSRTSAXException.h"
#include "asn1Desc.h"

class ASN1MessageBufferIF;
class ASN1CXerOpenType;

/* Element that carries an unresolved open type as hexadecimal text. */
#define XER_ENCODED_ELEMENT "Encoded"

namespace asn1rt {

/* Writes `value` as XER. A null elemName selects the type name (or the
   built-in name of an unnamed primitive); "" writes a CHOICE without an
   element of its own. Returns 0 or the first failing status, recorded. */
int xerEncode(ASN1CTXT* pctxt, const TypeDesc* type, const void* value, const char* elemName,
              const char* attributes);

/* A whole document: the declaration and the end-of-document step unless
   CTXTF_XER_FRAGMENT is set, the value under its type name in between. */
int xerEncodeDocument(ASN1CTXT* pctxt, const TypeDesc* type, const void* value);

/* Table-constraint step before an XER encode (asn1XETC_): every open type
   of the SEQUENCE `value` gets as its octets the compact XER text it is
   written with (the decoded value's XER, or the hexadecimal form), copied
   into the context's heap. A text already put there is left as it is. */
int tableXerEncode(ASN1CTXT* pctxt, const TypeDesc* type, void* value);

/* Table-constraint step after a SAX decode (asn1XDTC_): the captured text of
   every open type of the SEQUENCE `value` becomes the decoded value of the
   object its identifier names (the octets are left empty for the BER side
   to encode afresh), or, in the hexadecimal form, the octets it spells.
   Captured XER text that no typed object resolves is RTS_UNKNOWN_OBJECT
   (-38). Returns 0 or the status, recorded. */
int tableXerDecode(ASN1CTXT* pctxt, const TypeDesc* type, void* value);

/* Decodes XER text whose root element is the type name into `value`, with
   every allocation in pctxt's heap. Returns 0 or the status, recorded. */
int xerDecodeText(ASN1CTXT* pctxt, const TypeDesc* type, void* value, const ASN1OCTET* text,
                  ASN1UINT length);

/* The SAX state machine of one type, driven by the events of the XML reader
   or of the enclosing machine. A control object is the root machine of a
   decode; it creates the machines of components and list items on first
   use and keeps them for later occurrences. Failures are thrown with
   throwSAXException: RTS_XML_STRUCTURE (-35) for a wrong outermost element,
   RTS_NOT_FOUND (-3) for an unknown, repeated or misplaced element,
   RTS_MISSING_ELEMENT (-8), RTS_BAD_ENUM (-6), and the statuses of the value
   decoders and of the table-constraint step. */
class XerDecodeHandler : public ASN1XERSAXDecodeHandler {
public:
   /* The root machine over `value`; its outermost element must carry the
      type name. Character data is collected on pctxt. */
   XerDecodeHandler(const TypeDesc& type, void* value, ASN1CTXT* pctxt);
   virtual ~XerDecodeHandler();
   XerDecodeHandler(const XerDecodeHandler&) = delete;
   XerDecodeHandler& operator=(const XerDecodeHandler&) = delete;

   void startElement(const char* uri, const char* localName, const char* qName,
                     const char* const* attrs) override;
   void characters(const char* chars, unsigned int length) override;
   void endElement(const char* uri, const char* localName, const char* qName) override;
   /* Level 0: the machine's own element is still to come; level 1: it has
      been read by the caller. A SEQUENCE or SET also clears its presence
      bits and DEFAULT FALSE/0 fields, a list empties itself. */
   void init(int level) override;

   /* 1-based number of the component or alternative named localName, 0 for
      none. A SEQUENCE searches from the open component onwards and counts
      the mandatory components it meets. */
   int getElementID(const char* uri, const char* localName, const char* qName);

   /* The number whose identifier is the text at the context's buffer
      position; RTS_BAD_ENUM (recorded) for an unknown identifier. */
   int parseNamedValue(ASN1CTXT* pctxt, unsigned int* value);

   const TypeDesc& getTypeDesc() const { return *mpType; }

protected:
   /* Parses the whole text of an XER decode buffer with this machine as the
      root: init(0), a reader over the text, the buffer's status after the
      parse (RTS_UNSUPPORTED for another kind of buffer). Handler failures
      and XML syntax errors leave as the reader's exceptions, which carry the
      path of the element that failed (CodecFailure). */
   int decodeDocument(ASN1MessageBufferIF& msgBuf);
   /* Gives back the character buffer's storage while the heap it came from
      is still the context's. */
   void releaseText();
   /* The character buffer of a root that parses begins in a block of the
      thread's own while no other root holds it, and ends as it began. */
   void takeTextBlock();
   void freeText();
   /* Another type for the same value: an alias type with its own name. */
   void setTypeDesc(const TypeDesc& type);

private:
   /* How a machine on the stack of open machines was entered from the one
      below it: that one's component or list item, or the value of an open
      type that streams (its value, or an item of a list of open types). */
   enum class Entry : uint8_t { Component, Item, Object, StreamedItem };
   struct Frame {
      XerDecodeHandler* machine;
      Entry entry;
   };

   /* What all machines of one decode share: one element is open at a time,
      so one character buffer serves them all. */
   struct Session {
      ASN1MessageBufferIF* msgBuf;
      ASN1MemBuf text;
      bool streamObjects; /* open types may be decoded as they stream by */
   };

   /* The parse that the reader drives on this thread: the machines of the
      open elements, from the root (at `base`) to the innermost one, which
      is handed every event directly. A nested parse (an open type's
      captured text) stacks its machines on top and puts the outer parse
      back when it ends. */
   struct Dispatch {
      XerDecodeHandler* root;
      std::vector<Frame>& frames;
      size_t base;
      unsigned streamedFrames; /* frames entered as Object or StreamedItem */
      Dispatch* outer;
   };
   /* Null while events are fed by hand. Constant-initialised, so that no
      access needs a call. */
   static inline thread_local Dispatch* tpDispatch = nullptr;

   /* Where the events inside a streamed open type have got to. */
   enum class ObjectPhase : uint8_t { Off, BeforeValue, InValue, InHexForm, AfterValue };

   XerDecodeHandler(const TypeDesc& type, Session* session);

   /* The three events as this machine handles them when it is the
      innermost one; the overrides route them. */
   void handleStart(const char* uri, const char* localName, const char* qName,
                    const char* const* attrs);
   void handleCharacters(const char* chars, unsigned int length);
   void handleEnd(const char* uri, const char* localName, const char* qName);

   /* Direct dispatch (xerSaxDispatch.cpp). */
   bool isDispatchRoot() const { return tpDispatch != nullptr && tpDispatch->root == this; }
   void enter(XerDecodeHandler* child, Entry entry);
   static void dispatchStart(const char* uri, const char* localName, const char* qName,
                             const char* const* attrs);
   static void dispatchCharacters(const char* chars, unsigned int length);
   static void dispatchEnd(const char* uri, const char* localName, const char* qName);
   static std::vector<Frame>& frameStore();
   void childDone(Entry entry);
   static void passOutward(size_t index, bool saxFailure);

   /* SEQUENCE, SET or CHOICE; SEQUENCE OF or SET OF. */
   bool isConstructed() const {
      return mpType->kind == Kind::Sequence || mpType->kind == Kind::Set ||
             mpType->kind == Kind::Choice;
   }
   bool isList() const {
      return mpType->kind == Kind::SequenceOfList || mpType->kind == Kind::SequenceOfArray;
   }
   /* Text that means nothing here: between the elements of a structure or
      list with no component or item open that takes it (blanks, mostly;
      the items of a list of open types check theirs). Asked first of every
      piece of text, so inline. */
   bool dropsText() const {
      return (isConstructed() || (isList() && mpType->elemType->kind != Kind::OpenType)) &&
             mObjectPhase == ObjectPhase::Off && (mpCurrent == nullptr || level < 2);
   }
   /* The decode buffer's context; RTS_NOT_INITIALISED is thrown without one. */
   ASN1CTXT* decodeContext() const;
   /* Throw the status as the SAX exception; check does it for a failure. */
   [[noreturn]] void fail(int status);
   [[noreturn]] void failUnknownElement(const char* localName);
   void check(int status) {
      if (status != RTS_OK) fail(status);
   }
   /* Runs an event of the open component or item: a decode failure that it
      throws gets the component's name or the item's index in front of the
      failure's path, on its way out. */
   template <typename Event>
   void inOpenPart(Event event) {
      try {
         event();
      } catch (const OSRTSAXException&) {
         addOpenPartStep();
         throw;
      }
   }
   void addOpenPartStep() const;
   XerDecodeHandler* childFor(unsigned slot, const TypeDesc& type);
   /* A root takes over the machines, and the session they share, that the
      last root of its type left; it leaves its own when it goes. */
   void adoptSpareMachines();
   bool leaveSpareMachines();
   /* Makes the capture the machine of the open component or item. */
   void adoptCapture(ASN1CXerOpenType* capture, int captureLevel);
   void dropCapture();

   /* SEQUENCE, SET and CHOICE. */
   void startComponent(const char* localName, const char* const* attrs);
   void endComponent();
   void endConstructed();
   int sequenceElementID(const char* localName);
   int setElementID(const char* localName);
   int choiceElementID(const char* localName);
   void* selectComponent(int id);
   void beginComponent(int id, void* fieldValue);
   void beginExtension(const char* localName, const char* const* attrs);
   void endTwoForm();
   void openTypeText(const char* chars, unsigned int length);

   /* Open types decoded in the stream (openType/xerSaxObject.cpp). */
   bool streamsOpenField(int id) const;
   const ObjectDesc* streamableObject(int id) const;
   void beginStreamedObject(Asn1TObject& openType, const TypeDesc* type);
   bool takesHexForm() const;
   void hexFormCharacters(const char* chars, unsigned int length);
   void endHexForm();
   void startInObject(const char* uri, const char* localName, const char* qName,
                      const char* const* attrs);
   void charactersInObject(const char* chars, unsigned int length);
   void endInObject(const char* uri, const char* localName, const char* qName);
   void endObjectValue();
   XerDecodeHandler& beginValue(const TypeDesc& type, void** decoded);
   void beginObjectValue();
   XerDecodeHandler& objectMachine(const TypeDesc& type);
   void valueCharacters(const char* chars, unsigned int length);
   void beginStreamedItem();
   void endStreamedItem();
   void settleStreamedItems(const XerDecodeHandler& list);
   [[noreturn]] void abandonStreaming();
   /* Runs an event of a streamed value; any failure abandons streaming. */
   template <typename Event>
   void streamed(Event event) {
      try {
         event();
      } catch (...) {
         abandonStreaming();
      }
   }
   int parseDocument(ASN1MessageBufferIF& msgBuf, bool streamObjects);

   /* SEQUENCE OF and SET OF. */
   void startItem(const char* localName, const char* const* attrs);
   void endItem();
   void* newItemSlot();

   /* Primitive types. */
   void startInner(const char* localName);
   void collectText(const char* chars, unsigned int length);
   void decodePrimitive();
   void storeNumber(void* field, int64_t number);

   const TypeDesc* mpType;
   void* mpValue;
   Session mOwnSession;
   Session* mpSession;
   ASN1XERSAXDecodeHandler* mpCurrent; /* machine of the open component or item */
   XerDecodeHandler** mpChildren;      /* per component or alternative; [0] for list items */
   ASN1CXerOpenType* mpCapture;        /* capture of the open open-type component or item */
   void* mpItem;                       /* list item or extension element being decoded */
   ASN1UINT mArrayCapacity;            /* counted arrays: elements allocated */
   int mRequiredSeen;
   uint64_t mSetSeen;                  /* SET: mandatory components seen */
   bool mRequiredRepeated;             /* SET: a mandatory component came twice */
   bool mTwoForm;                      /* the open component also takes hexadecimal text */
   bool mHexText;                      /* ... and has been given some */
   /* The streamed open type: its record, its object's type (null: only
      the hexadecimal form streams), the machine decoding its value, the
      error status when the value began. */
   Asn1TObject* mpStreamed;
   const TypeDesc* mpStreamedType;
   XerDecodeHandler* mpObjectMachine;
   ASN1INT mStatusBeforeValue;
   ObjectPhase mObjectPhase;
   bool mTextBeforeValue;              /* non-blank text ahead of the value's element */
   bool mObjectStreamed;               /* the table step has nothing left to resolve */
   /* A list of open types: the object of every item when they stream, and
      how many items were streamed and captured. */
   const ObjectDesc* mpItemObject;
   ASN1UINT mStreamedItems;
   ASN1UINT mCapturedItems;
   bool mStreamingItem;                /* the open item is being streamed */
   const bool mIsRoot;                 /* made by a control object, not by another machine */
   bool mHoldsTextBlock;               /* root: its character buffer began in the thread's block */
   std::vector<std::unique_ptr<XerDecodeHandler>> mObjectMachines; /* one per object type */
};

}

#endif
