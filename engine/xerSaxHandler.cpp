/*
 * SAX state machine over a type descriptor: construction, reset, the
 * machines of components and items, and the dispatch of the three events
 * to the construct families (xerSaxStructure.cpp, xerSaxList.cpp,
 * xerSaxPrimitive.cpp).
 *
 * `level` counts elements relative to the machine: 0 before its own
 * element, 1 inside it, 2 inside a component or item, and so on.
 */
#include "ASN1CXerOpenType.h"
#include "ASN1XERDecodeBuffer.h"
#include "OSExpatXMLReader.h"
#include "OSXMLString.h"
#include "asn1Xer.h"
#include "engineInternal.h"
#include "rtContext.h"
#include "rtList.h"
#include "xerDecode.h"

namespace asn1rt {

using namespace detail;

/* Segment size of the character-data buffer. */
static const ASN1UINT kTextSegment = 1024;

/* First storage of the character buffer of a root that parses: the text of
   almost every element fits, and a block of the thread's own spares a heap
   block of every message. A longer text moves on into the heap, and a
   root that parses while another holds the block (an open type's captured
   text) takes the heap from the start. */
static const ASN1UINT kTextBlockSize = 2 * kTextSegment;
static thread_local ASN1OCTET tTextBlock[kTextBlockSize];
static thread_local bool tTextBlockTaken = false;

XerDecodeHandler::XerDecodeHandler(const TypeDesc& type, void* value, ASN1CTXT* pctxt)
   : mpType(&type), mpValue(value), mOwnSession(), mpSession(&mOwnSession), mpCurrent(nullptr),
     mpChildren(nullptr), mpCapture(nullptr), mpItem(nullptr), mArrayCapacity(0),
     mRequiredSeen(0), mSetSeen(0), mRequiredRepeated(false), mTwoForm(false), mHexText(false),
     mpStreamed(nullptr), mpStreamedType(nullptr), mpObjectMachine(nullptr), mStatusBeforeValue(0),
     mObjectPhase(ObjectPhase::Off), mTextBeforeValue(false), mObjectStreamed(false),
     mpItemObject(nullptr), mStreamedItems(0), mCapturedItems(0), mStreamingItem(false),
     mIsRoot(true), mHoldsTextBlock(false) {
   rtMemBufInit(pctxt, &mOwnSession.text, kTextSegment);
   elementName = type.name;
}

XerDecodeHandler::XerDecodeHandler(const TypeDesc& type, Session* session)
   : mpType(&type), mpValue(nullptr), mOwnSession(), mpSession(session), mpCurrent(nullptr),
     mpChildren(nullptr), mpCapture(nullptr), mpItem(nullptr), mArrayCapacity(0),
     mRequiredSeen(0), mSetSeen(0), mRequiredRepeated(false), mTwoForm(false), mHexText(false),
     mpStreamed(nullptr), mpStreamedType(nullptr), mpObjectMachine(nullptr), mStatusBeforeValue(0),
     mObjectPhase(ObjectPhase::Off), mTextBeforeValue(false), mObjectStreamed(false),
     mpItemObject(nullptr), mStreamedItems(0), mCapturedItems(0), mStreamingItem(false),
     mIsRoot(false), mHoldsTextBlock(false) {}

namespace {

/* The component and item machines of a root machine, kept when the root
   goes: a decode of each message makes a new root, and taking over the
   machines of the last root of the same type spares building them again.
   They share the session of one of them, the holder, which the next root
   takes over too, so that none of them needs pointing at another. One set
   per type and thread; a set belongs to one root at a time. Type
   descriptors are static tables, so the kept machines' types stay valid. */
class SpareMachines {
public:
   struct Set {
      XerDecodeHandler** children;
      unsigned slots;
      XerDecodeHandler* holder;
   };

   SpareMachines() = default;
   SpareMachines(const SpareMachines&) = delete;
   SpareMachines& operator=(const SpareMachines&) = delete;
   ~SpareMachines() {
      for (const Spare& spare : mSpares) {
         if (spare.set.children == nullptr) continue;
         for (unsigned i = 0; i < spare.set.slots; i++) delete spare.set.children[i];
         delete[] spare.set.children;
      }
   }

   /* The set kept for the type, which leaves the store, or one without
      children. */
   Set take(const TypeDesc* type) {
      for (Spare& spare : mSpares) {
         if (spare.type != type || spare.set.children == nullptr) continue;
         const Set set = spare.set;
         spare.set.children = nullptr;
         return set;
      }
      return Set{nullptr, 0, nullptr};
   }

   /* False when a set of the type is kept already or the store is full. */
   bool give(const TypeDesc* type, const Set& set) {
      Spare* free = nullptr;
      for (Spare& spare : mSpares) {
         if (spare.type == type) {
            if (spare.set.children != nullptr) return false;
            free = &spare;
         }
      }
      if (free == nullptr) {
         if (mSpares.size() >= kMaxTypes) return false;
         mSpares.push_back(Spare{type, Set{nullptr, 0, nullptr}});
         free = &mSpares.back();
      }
      free->set = set;
      return true;
   }

private:
   /* Top-level types a thread keeps machines for. */
   static const size_t kMaxTypes = 32;

   struct Spare {
      const TypeDesc* type;
      Set set;
   };
   std::vector<Spare> mSpares;
};

/* The store lives while its thread does: the owner frees it when the thread
   ends, and a root that goes after that deletes its machines itself. */
thread_local SpareMachines* tSpareMachines = nullptr;

struct SpareMachinesOwner {
   ~SpareMachinesOwner() {
      delete tSpareMachines;
      tSpareMachines = nullptr;
   }
};
thread_local SpareMachinesOwner tSpareMachinesOwner;

SpareMachines& spareMachines() {
   if (tSpareMachines == nullptr) {
      static_cast<void>(&tSpareMachinesOwner);
      tSpareMachines = new SpareMachines;
   }
   return *tSpareMachines;
}

}

XerDecodeHandler::~XerDecodeHandler() {
   delete mpCapture;
   if (mIsRoot) {
      freeText();
      if (leaveSpareMachines()) mpChildren = nullptr;
   }
   if (mpChildren != nullptr) {
      const unsigned slots = isList() ? 1 : mpType->fieldCount;
      for (unsigned i = 0; i < slots; i++) delete mpChildren[i];
      delete[] mpChildren;
   }
}

void XerDecodeHandler::adoptSpareMachines() {
   if (!mIsRoot || mpChildren != nullptr) return;
   const SpareMachines::Set set = spareMachines().take(mpType);
   if (set.children == nullptr) return;
   mpChildren = set.children;
   Session& shared = set.holder->mOwnSession;
   shared = mOwnSession;
   mpSession = &shared;
}

/* A root whose last document ended with every element closed has no
   capture left below it; its machines are kept for the next root. Those
   it made itself are first pointed at the session of one of them. */
bool XerDecodeHandler::leaveSpareMachines() {
   if (level != 0 || mpChildren == nullptr || tSpareMachines == nullptr) return false;
   const unsigned slots = isList() ? 1 : mpType->fieldCount;
   XerDecodeHandler* holder = nullptr;
   if (mpSession != &mOwnSession) {
      for (unsigned i = 0; i < slots && holder == nullptr; i++) {
         if (mpChildren[i] != nullptr && mpSession == &mpChildren[i]->mOwnSession) {
            holder = mpChildren[i];
         }
      }
   } else {
      for (unsigned i = 0; i < slots && holder == nullptr; i++) holder = mpChildren[i];
      if (holder == nullptr) return false;
      struct Join {
         static void machine(XerDecodeHandler* machine, Session* session) {
            machine->mpSession = session;
            for (std::unique_ptr<XerDecodeHandler>& object : machine->mObjectMachines) {
               Join::machine(object.get(), session);
            }
            if (machine->mpChildren == nullptr) return;
            const unsigned count = machine->isList() ? 1 : machine->mpType->fieldCount;
            for (unsigned i = 0; i < count; i++) {
               if (machine->mpChildren[i] != nullptr) Join::machine(machine->mpChildren[i], session);
            }
         }
      };
      for (unsigned i = 0; i < slots; i++) {
         if (mpChildren[i] != nullptr) Join::machine(mpChildren[i], &holder->mOwnSession);
      }
   }
   return holder != nullptr && tSpareMachines->give(mpType, SpareMachines::Set{mpChildren, slots, holder});
}

namespace {

/* Releases the reader when the parse ends, also by an exception. */
class ReaderGuard {
public:
   explicit ReaderGuard(OSXMLReader* reader) : mReader(reader) {}
   ~ReaderGuard() { mReader->release(); }
   ReaderGuard(const ReaderGuard&) = delete;
   ReaderGuard& operator=(const ReaderGuard&) = delete;
   OSXMLReader* get() const { return mReader; }

private:
   OSXMLReader* mReader;
};

/* Thrown when an open type decoded in the stream meets anything but one
   clean value of its object's type. The document is then read again with
   every open type captured and resolved when its SEQUENCE closes, which
   gives whatever status and value that reading gives. */
struct StreamingAbandoned {};

/* Streams open types for the parse only, so that events fed to a machine
   by hand are handled the captured way. */
class StreamingScope {
public:
   StreamingScope(bool& flag, bool on) : mFlag(flag) { mFlag = on; }
   ~StreamingScope() { mFlag = false; }
   StreamingScope(const StreamingScope&) = delete;
   StreamingScope& operator=(const StreamingScope&) = delete;

private:
   bool& mFlag;
};

}

void XerDecodeHandler::abandonStreaming() { throw StreamingAbandoned(); }

int XerDecodeHandler::parseDocument(ASN1MessageBufferIF& msgBuf, bool streamObjects) {
   adoptSpareMachines();
   takeTextBlock();
   StreamingScope streaming(mpSession->streamObjects, streamObjects);
   init(0);
   /* The reader's events go straight to the innermost machine while it
      parses; the stack goes with the parse, also by an exception. */
   std::vector<Frame>& frames = frameStore();
   Dispatch dispatch{this, frames, frames.size(), 0, tpDispatch};
   frames.push_back(Frame{this, Entry::Component});
   struct DispatchScope {
      Dispatch& dispatch;
      explicit DispatchScope(Dispatch& current) : dispatch(current) { tpDispatch = &dispatch; }
      ~DispatchScope() {
         dispatch.frames.resize(dispatch.base);
         tpDispatch = dispatch.outer;
      }
      DispatchScope(const DispatchScope&) = delete;
      DispatchScope& operator=(const DispatchScope&) = delete;
   } scope(dispatch);
   ReaderGuard reader(saxCreateXmlReader(msgBuf.getContext(), this, this));
   return static_cast<ASN1XERDecodeBuffer&>(msgBuf).decodeXML(reader.get());
}

int XerDecodeHandler::decodeDocument(ASN1MessageBufferIF& msgBuf) {
   if (dynamic_cast<ASN1XERDecodeBuffer*>(&msgBuf) == nullptr) return RTS_UNSUPPORTED;
   mpSession->msgBuf = &msgBuf;
   ASN1CTXT* pctxt = msgBuf.getCtxtPtr();
   /* The path is this document's: the exception takes it along. */
   rtErrClearPath(&pctxt->errInfo);
   const ASN1ErrInfo errorsBefore = pctxt->errInfo;
   try {
      try {
         return parseDocument(msgBuf, true);
      } catch (const StreamingAbandoned&) {
         rtErrClearPath(&pctxt->errInfo);
         pctxt->errInfo = errorsBefore;
         return parseDocument(msgBuf, false);
      }
   } catch (OSRTSAXExceptionImpl& failure) {
      failure.setPath(CodecFailure::pathText(pctxt->errInfo));
      throw;
   }
}

void XerDecodeHandler::releaseText() {
   ASN1CTXT* pctxt = mpSession->text.pctxt;
   freeText();
   rtMemBufInit(pctxt, &mpSession->text, kTextSegment);
}

void XerDecodeHandler::takeTextBlock() {
   ASN1MemBuf& text = mpSession->text;
   if (tTextBlockTaken || text.buffer != nullptr) return;
   tTextBlockTaken = true;
   mHoldsTextBlock = true;
   text.buffer = tTextBlock;
   text.bufsize = kTextBlockSize;
   text.isDynamic = 0;
}

void XerDecodeHandler::freeText() {
   rtMemBufFree(&mpSession->text);
   if (!mHoldsTextBlock) return;
   mHoldsTextBlock = false;
   tTextBlockTaken = false;
}

void XerDecodeHandler::setTypeDesc(const TypeDesc& type) {
   mpType = &type;
   elementName = type.name;
}

ASN1CTXT* XerDecodeHandler::decodeContext() const {
   if (mpSession->msgBuf == nullptr) throw OSRTSAXExceptionImpl(RTS_NOT_INITIALISED, nullptr, 0);
   return mpSession->msgBuf->getCtxtPtr();
}

void XerDecodeHandler::fail(int status) {
   throwSAXException(status, nullptr, 0);
   /* throwSAXException always throws; this keeps [[noreturn]] honest for an
      override that would not. */
   throw OSRTSAXExceptionImpl(status, nullptr, 0);
}

void XerDecodeHandler::failUnknownElement(const char* localName) {
   ASN1CTXT* pctxt = decodeContext();
   rtErrAddPathStep(pctxt, localName, 0);
   StrX name(localName);
   xu_addErrParm(pctxt, "?");
   xu_addErrParm(pctxt, name.localForm());
   fail(RTS_NOT_FOUND);
}

void XerDecodeHandler::addOpenPartStep() const {
   if (mpSession->msgBuf == nullptr) return;
   ASN1CTXT* pctxt = mpSession->msgBuf->getCtxtPtr();
   if (isList()) {
      /* The open item is counted once it is complete. */
      const ASN1UINT done = mpType->kind == Kind::SequenceOfList
                               ? static_cast<const Asn1RTDList*>(mpValue)->count
                               : fieldAs<ASN1UINT>(mpValue, 0);
      rtErrAddPathStep(pctxt, nullptr, done);
   } else if (currentElementID >= 1 && currentElementID <= mpType->fieldCount) {
      rtErrAddPathStep(pctxt, mpType->fields[currentElementID - 1].name, 0);
   } else {
      rtErrAddPathStep(pctxt, XER_ENCODED_ELEMENT, 0);
   }
}

XerDecodeHandler* XerDecodeHandler::childFor(unsigned slot, const TypeDesc& type) {
   if (mpChildren == nullptr) {
      const unsigned slots = isList() ? 1 : mpType->fieldCount;
      mpChildren = new XerDecodeHandler*[slots]();
   }
   XerDecodeHandler*& child = mpChildren[slot];
   if (child == nullptr) child = new XerDecodeHandler(type, mpSession);
   return child;
}

void XerDecodeHandler::adoptCapture(ASN1CXerOpenType* capture, int captureLevel) {
   dropCapture();
   mpCapture = capture;
   mpCapture->init(captureLevel);
   mpCurrent = mpCapture;
}

void XerDecodeHandler::dropCapture() {
   delete mpCapture;
   mpCapture = nullptr;
}

void XerDecodeHandler::init(int newLevel) {
   ASN1XERSAXDecodeHandler::init(newLevel);
   currentElementID = 0;
   mpCurrent = nullptr;
   mpItem = nullptr;
   mRequiredSeen = 0;
   mSetSeen = 0;
   mRequiredRepeated = false;
   mTwoForm = false;
   mObjectPhase = ObjectPhase::Off;
   mObjectStreamed = false;
   mpItemObject = nullptr;
   mStreamedItems = 0;
   mCapturedItems = 0;
   mStreamingItem = false;
   switch (mpType->kind) {
   case Kind::Sequence:
   case Kind::Set: resetComponents(mpType, mpValue); break;
   case Kind::SequenceOfList: rtDListInit(static_cast<Asn1RTDList*>(mpValue)); break;
   case Kind::SequenceOfArray:
      fieldAs<ASN1UINT>(mpValue, 0) = 0;
      fieldAs<void*>(mpValue, mpType->arrayElemOffset) = nullptr;
      mArrayCapacity = 0;
      break;
   case Kind::Choice: break;
   default:
      /* Inside its element already: the start tag counts as seen. */
      if (newLevel > 0) currentState = 1;
      rtMemBufReset(&mpSession->text);
      break;
   }
}

/* Beyond the nesting limit the element is refused. The end of an element
   may decode an open type's text with machines of its own, which count on
   top of the open ones. */
void XerDecodeHandler::handleStart(const char* uri, const char* localName, const char* qName,
                                   const char* const* attrs) {
   const NestingLevel nesting(mpType);
   if (nesting.tooDeep()) fail(RTS_CONSTRAINT);
   if (level == 0) {
      if (elementName != nullptr && !xerCmpText(localName, elementName)) fail(RTS_XML_STRUCTURE);
      currentState = 1;
      if (!isConstructed() && !isList()) rtMemBufReset(&mpSession->text);
   } else if (isList()) {
      inOpenPart([&] { startItem(localName, attrs); });
   } else if (!isConstructed()) {
      startInner(localName);
   } else if (level == 1) {
      startComponent(localName, attrs);
   } else if (mObjectPhase != ObjectPhase::Off) {
      inOpenPart([&] { startInObject(uri, localName, qName, attrs); });
   } else {
      inOpenPart([&] { mpCurrent->startElement(uri, localName, qName, attrs); });
   }
   level++;
}

void XerDecodeHandler::handleCharacters(const char* chars, unsigned int length) {
   if (isConstructed() || isList()) {
      if (mObjectPhase == ObjectPhase::Off && (mpCurrent == nullptr || level < 2)) {
         /* Between the items of a list of open types there is no value. */
         if (isList() && mpType->elemType->kind == Kind::OpenType) openTypeText(chars, length);
         return;
      }
      inOpenPart([&] {
         if (mObjectPhase != ObjectPhase::Off) return charactersInObject(chars, length);
         if (mStreamingItem) return valueCharacters(chars, length);
         mpCurrent->characters(chars, length);
         if (mpCurrent == mpCapture && mpCapture->level == mpCapture->startLevel) {
            openTypeText(chars, length);
         }
      });
   } else {
      collectText(chars, length);
   }
}

void XerDecodeHandler::handleEnd(const char* uri, const char* localName, const char* qName) {
   const NestingLevel nesting(mpType);
   level--;
   if (isList()) {
      if (mpCurrent == nullptr) return;
      inOpenPart([&] {
         if (mStreamingItem) {
            streamed([&] { mpCurrent->endElement(uri, localName, qName); });
         } else {
            mpCurrent->endElement(uri, localName, qName);
         }
         endItem();
      });
   } else if (!isConstructed()) {
      if (level == 0) decodePrimitive();
   } else if (level == 0) {
      endConstructed();
   } else {
      inOpenPart([&] {
         if (mObjectPhase != ObjectPhase::Off) {
            endInObject(uri, localName, qName);
         } else {
            mpCurrent->endElement(uri, localName, qName);
         }
         if (level == 1) endComponent();
      });
   }
}

}
