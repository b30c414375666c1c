/*
 * Direct dispatch of the reader's events. While the reader drives a root
 * machine, the machines of the open elements stand on a stack and each
 * event goes straight to the innermost one, instead of down the chain of
 * machines with one call per level and character data that is only blanks
 * between elements passed all the way down.
 *
 * What the machines below the innermost would do on the way is done here,
 * so that every value, status and failure path stays as the chain gives
 * it: their levels move with the innermost one and are set again when it
 * is left; the structured levels below it count towards the nesting limit;
 * a decode failure gets their component names or item indexes in front of
 * its path, and any failure inside a streamed open type abandons streaming.
 */
#include <cstring>

#include "asn1Xer.h"
#include "engineInternal.h"

namespace asn1rt {

using namespace detail;

namespace {

/* The structured levels below the innermost machine, counted for the
   nesting limit while an event is handled, as the chain of calls did. */
class LevelsBelow {
public:
   explicit LevelsBelow(size_t count) : mCount(static_cast<unsigned>(count)) {
      tNestingDepth += mCount;
   }
   ~LevelsBelow() { tNestingDepth -= mCount; }
   LevelsBelow(const LevelsBelow&) = delete;
   LevelsBelow& operator=(const LevelsBelow&) = delete;

   void set(size_t count) {
      tNestingDepth = tNestingDepth - mCount + static_cast<unsigned>(count);
      mCount = static_cast<unsigned>(count);
   }

private:
   unsigned mCount;
};

/* Runs an event's handling; a failure out of it is first passed outward
   through the machines below (outward(true) for a decode failure), then
   left to go on. */
template <typename Handle, typename Outward>
void handleOrPassOutward(Handle handle, Outward outward) {
   try {
      handle();
   } catch (const OSRTSAXException&) {
      outward(true);
      throw;
   } catch (...) {
      outward(false);
      throw;
   }
}

}

/* One stack per thread, which keeps its storage from parse to parse. */
std::vector<XerDecodeHandler::Frame>& XerDecodeHandler::frameStore() {
   static thread_local std::vector<Frame> store;
   return store;
}

/* The child becomes the innermost machine when this one is. */
void XerDecodeHandler::enter(XerDecodeHandler* child, Entry entry) {
   Dispatch* dispatch = tpDispatch;
   if (dispatch == nullptr || dispatch->frames.back().machine != this) return;
   dispatch->frames.push_back(Frame{child, entry});
   if (entry == Entry::Object || entry == Entry::StreamedItem) dispatch->streamedFrames++;
}

/* A failure leaves the machine at `index`: each machine below adds its
   open component or item to the path of a decode failure, and one that
   streams the value above it abandons streaming instead. */
void XerDecodeHandler::passOutward(size_t index, bool saxFailure) {
   const Dispatch& dispatch = *tpDispatch;
   for (size_t i = index; i > dispatch.base; i--) {
      const Entry entry = dispatch.frames[i].entry;
      if (entry == Entry::Object || entry == Entry::StreamedItem) {
         dispatch.root->abandonStreaming();
      }
      if (saxFailure) dispatch.frames[i - 1].machine->addOpenPartStep();
   }
}

void XerDecodeHandler::dispatchStart(const char* uri, const char* localName, const char* qName,
                                     const char* const* attrs) {
   Dispatch& dispatch = *tpDispatch;
   const size_t top = dispatch.frames.size() - 1;
   const LevelsBelow below(top - dispatch.base);
   XerDecodeHandler& machine = *dispatch.frames[top].machine;
   handleOrPassOutward([&] { machine.handleStart(uri, localName, qName, attrs); },
                       [&](bool saxFailure) { passOutward(top, saxFailure); });
}

void XerDecodeHandler::dispatchCharacters(const char* chars, unsigned int length) {
   Dispatch& dispatch = *tpDispatch;
   /* A carriage return reaches the second parse as a line feed. */
   if (dispatch.streamedFrames > 0 && std::memchr(chars, '\r', length) != nullptr) {
      dispatch.root->abandonStreaming();
   }
   const size_t top = dispatch.frames.size() - 1;
   XerDecodeHandler& machine = *dispatch.frames[top].machine;
   if (machine.dropsText()) return;
   handleOrPassOutward([&] { machine.handleCharacters(chars, length); },
                       [&](bool saxFailure) { passOutward(top, saxFailure); });
}

/* The innermost machine takes the end tag; when its element (or, for an
   item without element of its own, its content) has closed, the machine
   below is innermost again and finishes the component or item, which may
   close that one's item too. */
void XerDecodeHandler::dispatchEnd(const char* uri, const char* localName, const char* qName) {
   Dispatch& dispatch = *tpDispatch;
   std::vector<Frame>& frames = dispatch.frames;
   size_t top = frames.size() - 1;
   LevelsBelow below(top - dispatch.base);
   size_t failing = top;
   handleOrPassOutward([&] {
      frames[top].machine->handleEnd(uri, localName, qName);
      while (top > dispatch.base) {
         const XerDecodeHandler& child = *frames[top].machine;
         const Entry entry = frames[top].entry;
         const bool ownElement = entry == Entry::Component || entry == Entry::Object;
         if (child.level != (ownElement ? 0 : child.startLevel)) break;
         if (entry == Entry::Object || entry == Entry::StreamedItem) dispatch.streamedFrames--;
         frames.pop_back();
         failing = --top;
         below.set(top - dispatch.base + 1);
         XerDecodeHandler& parent = *frames[top].machine;
         /* Inside an open type's element, the value's element was one
            level deeper. */
         parent.level = entry == Entry::Object ? 2 : 1;
         parent.childDone(entry);
      }
   }, [&](bool saxFailure) { passOutward(failing, saxFailure); });
}

/* The part of the end tag's handling that follows the child's. */
void XerDecodeHandler::childDone(Entry entry) {
   inOpenPart([&] {
      switch (entry) {
      case Entry::Component: endComponent(); break;
      case Entry::Object: endObjectValue(); break;
      case Entry::Item:
      case Entry::StreamedItem: endItem(); break;
      }
   });
}

/* The reader hands its events to the root, which passes them to the
   innermost machine; events fed by hand go down the chain of machines of
   the open elements, one call per structured level. */
void XerDecodeHandler::startElement(const char* uri, const char* localName, const char* qName,
                                    const char* const* attrs) {
   if (isDispatchRoot()) {
      dispatchStart(uri, localName, qName, attrs);
   } else {
      handleStart(uri, localName, qName, attrs);
   }
}

void XerDecodeHandler::characters(const char* chars, unsigned int length) {
   if (isDispatchRoot()) {
      dispatchCharacters(chars, length);
   } else {
      handleCharacters(chars, length);
   }
}

void XerDecodeHandler::endElement(const char* uri, const char* localName, const char* qName) {
   if (isDispatchRoot()) {
      dispatchEnd(uri, localName, qName);
   } else {
      handleEnd(uri, localName, qName);
   }
}

}
