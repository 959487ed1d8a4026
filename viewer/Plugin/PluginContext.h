#pragma once
// The plug-in's per-page text context: the page text, the place of every
// character and the link areas of one page. A plug-in without contexts, or
// one that refuses, gives an invalid context that answers with nothing.

#include <cstdint>

#include "viewer/Plugin/PluginAbi.h"

class TPlugin;
class TPluginDocument;

class TPluginContext {
 public:
  // Asks the document's plug-in for a context; IsValid tells whether it gave one.
  explicit TPluginContext(TPluginDocument& Document);
  ~TPluginContext();
  TPluginContext(const TPluginContext&) = delete;
  TPluginContext& operator=(const TPluginContext&) = delete;

  bool IsValid() const { return context_.Context != 0; }
  // Whether link texts name files as the file system spells them (else cp1251).
  bool NativeLinkNames() const;
  int PageNumber() const { return pageNumber_; }
  // The document's page count as the plug-in told it when the context was made.
  int PageCount() const { return pageCount_; }
  // Selects page N (1-based) for the calls below.
  void SetPage(int N);
  // The page text as the plug-in holds it: Text and Length untouched when the
  // context is invalid. Returns the plug-in's answer, 0 when invalid.
  int GetText(const char*& Text, std::int32_t& Length);
  // Count character rectangles from character First (0-based) into Buffer,
  // zero-filled first: a plug-in without rectangles leaves them all empty.
  void ReadRects(TPluginRect* Buffer, int First, int Count);
  // The number of link areas of the page; 0 when there are none to be had.
  int ReadActiveRectsCount();
  // Link area Index: its vertex count (Points nullptr), or its vertices and
  // link text. 0 when the context is invalid or the plug-in has no links.
  // The text comes through ReadActiveRectsUtf8 where the plug-in has it.
  int ReadActiveRects(int Index, std::int32_t& Count, TPluginPoint* Points, char* TextBuffer, int BufferSize);

 private:
  TContextRec context_{};
  TPlugin* plugin_;
  int pageNumber_ = -1;
  TContextSetupRec setup_{};
  int pageCount_ = 0;
};
