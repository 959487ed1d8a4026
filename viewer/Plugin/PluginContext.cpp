#include "viewer/Plugin/PluginContext.h"

#include <algorithm>

#include "viewer/Plugin/Plugin.h"
#include "viewer/Plugin/PluginDocument.h"

TPluginContext::TPluginContext(TPluginDocument& Document) : plugin_(Document.Plugin()) {
  if (!plugin_ || !plugin_->CreateContext || !Document.Handle()) return;
  TContextRec made{};
  if (!plugin_->CreateContext(Document.Handle(), &made) || !made.Context) return;
  context_ = made;
  pageCount_ = plugin_->GetPageCount(Document.Handle());
}

TPluginContext::~TPluginContext() {
  if (IsValid() && plugin_->DestoryContext) plugin_->DestoryContext(context_.Context);
}

void TPluginContext::SetPage(int N) {
  if (!IsValid()) return;
  pageNumber_ = N;
  setup_ = TContextSetupRec{};
  setup_.Page = setup_.PageLast = N;
  setup_.Cookie = context_.Cookie;
  if (plugin_->SetupContext) plugin_->SetupContext(context_.Context, &setup_);
}

int TPluginContext::GetText(const char*& Text, std::int32_t& Length) {
  if (!IsValid() || !plugin_->GetText) return 0;
  return plugin_->GetText(context_.Context, &Text, &Length);
}

void TPluginContext::ReadRects(TPluginRect* Buffer, int First, int Count) {
  if (!Buffer || Count <= 0) return;
  std::fill_n(Buffer, Count, TPluginRect{});
  if (IsValid() && plugin_->ReadRects) plugin_->ReadRects(context_.Context, Buffer, First, Count);
}

int TPluginContext::ReadActiveRectsCount() {
  if (!IsValid() || !plugin_->ReadActiveRectsCount) return 0;
  return std::max(plugin_->ReadActiveRectsCount(context_.Context), 0);
}

int TPluginContext::ReadActiveRects(int Index, std::int32_t& Count, TPluginPoint* Points, char* TextBuffer,
                                    int BufferSize) {
  if (!IsValid()) return 0;
  const TReadActiveRects read = NativeLinkNames() ? plugin_->ReadActiveRectsUtf8 : plugin_->ReadActiveRects;
  if (!read) return 0;
  return read(context_.Context, Index, &Count, Points, TextBuffer, BufferSize);
}

bool TPluginContext::NativeLinkNames() const {
  return plugin_ && plugin_->ReadActiveRectsUtf8;
}
