#include "plugins/djvu/DjvuSession.h"

#include "platform/StrUtils.h"
#include "plugins/common/BackendDocument.h"

TDjvuSession::TDjvuSession(const QByteArray& data, const std::string& folder) : folder_(folder) {
  context_ = ddjvu_context_create("Folioscope");
  if (!context_) throw Exception("The DjVu decoder cannot start");
  // Fed from memory: the decoder would read the file again for every page,
  // which fails once the file is deleted or replaced while it is open.
  document_ = ddjvu_document_create(context_, nullptr, 0);
  if (!document_) {
    ddjvu_context_release(context_);
    throw Exception("The DjVu decoder cannot start");
  }
  ddjvu_stream_write(document_, 0, data.constData(), (unsigned long)data.size());
  ddjvu_stream_close(document_, 0, 0);
  while (!ddjvu_document_decoding_done(document_)) Pump(true);
  if (ddjvu_document_decoding_error(document_)) {
    ddjvu_document_release(document_);
    ddjvu_context_release(context_);
    throw Exception("The DjVu document is damaged" + (lastError_.empty() ? "" : ": " + lastError_));
  }
}

TDjvuSession::~TDjvuSession() {
  ddjvu_document_release(document_);
  ddjvu_context_release(context_);
}

void TDjvuSession::Pump(bool wait) {
  if (wait) ddjvu_message_wait(context_);
  while (const ddjvu_message_t* message = ddjvu_message_peek(context_)) {
    if (message->m_any.tag == DDJVU_ERROR && message->m_error.message) lastError_ = message->m_error.message;
    if (message->m_any.tag == DDJVU_NEWSTREAM && message->m_newstream.streamid != 0) Serve(*message);
    ddjvu_message_pop(context_);
  }
}

void TDjvuSession::Serve(const ddjvu_message_t& request) {
  const int stream = request.m_newstream.streamid;
  const char* name = request.m_newstream.name;
  try {
    // A component is a file beside the document, named without folders.
    if (!name || !*name || std::string_view(name).find('/') != std::string_view::npos)
      throw Exception("The document names a component file outside its folder");
    const QByteArray data = ReadDocumentFile(folder_ + name);
    ddjvu_stream_write(document_, stream, data.constData(), (unsigned long)data.size());
    ddjvu_stream_close(document_, stream, 0);
  } catch (const Exception& e) {
    lastError_ = std::string(name ? name : "") + ": " + e.Message();
    ddjvu_stream_close(document_, stream, 1);
  }
}

void TDjvuSession::Fail(const std::string& what) {
  const std::string reason = lastError_.empty() ? "" : ": " + lastError_;
  lastError_.clear();
  throw Exception(what + reason);
}

ddjvu_pageinfo_t TDjvuSession::PageInfo(int page) {
  ddjvu_pageinfo_t info{};
  ddjvu_status_t status;
  while ((status = ddjvu_document_get_pageinfo(document_, page, &info)) < DDJVU_JOB_OK) Pump(true);
  if (status >= DDJVU_JOB_FAILED || info.width <= 0 || info.height <= 0 || info.dpi <= 0)
    Fail("Page " + std::to_string(page + 1) + " is damaged");
  return info;
}

ddjvu_page_t* TDjvuSession::DecodedPage(int page) {
  ddjvu_page_t* decoded = ddjvu_page_create_by_pageno(document_, page);
  if (!decoded) Fail("Page " + std::to_string(page + 1) + " cannot be read");
  while (!ddjvu_page_decoding_done(decoded)) Pump(true);
  if (ddjvu_page_decoding_error(decoded)) {
    ddjvu_page_release(decoded);
    Fail("Page " + std::to_string(page + 1) + " is damaged");
  }
  return decoded;
}

template <typename Query>
miniexp_t TDjvuSession::WaitForExpression(Query query) {
  miniexp_t expression;
  while ((expression = query()) == miniexp_dummy) Pump(true);
  return expression;
}

miniexp_t TDjvuSession::PageText(int page) {
  return WaitForExpression([&] { return ddjvu_document_get_pagetext(document_, page, "char"); });
}

miniexp_t TDjvuSession::PageAnnotations(int page) {
  return WaitForExpression([&] { return ddjvu_document_get_pageanno(document_, page); });
}

miniexp_t TDjvuSession::Outline() {
  return WaitForExpression([&] { return ddjvu_document_get_outline(document_); });
}

int TDjvuSession::PageOfFile(const std::string& id) {
  const int files = ddjvu_document_get_filenum(document_);
  for (int i = 0; i < files; ++i) {
    ddjvu_fileinfo_t info{};
    if (ddjvu_document_get_fileinfo(document_, i, &info) != DDJVU_JOB_OK || info.type != 'P') continue;
    for (const char* name : {info.id, info.name, info.title})
      if (name && id == name) return info.pageno;
  }
  return -1;
}
