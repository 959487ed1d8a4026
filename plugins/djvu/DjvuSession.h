#pragma once
// One open DjVu file: djvulibre's context and document, released together,
// and the waiting for its decoding jobs. djvulibre decodes in threads of its
// own and reports through messages; we wait for them on the caller's thread.

#include <libdjvu/ddjvuapi.h>
#include <libdjvu/miniexp.h>

#include <QByteArray>
#include <string>

class TDjvuSession {
 public:
  // Decodes data, the whole file, from memory; the files of an indirect
  // document are read from folder (bytes, ending in "/"). Throws Exception
  // when it cannot be decoded as a DjVu document.
  TDjvuSession(const QByteArray& data, const std::string& folder);
  ~TDjvuSession();
  TDjvuSession(const TDjvuSession&) = delete;
  TDjvuSession& operator=(const TDjvuSession&) = delete;

  ddjvu_document_t* Document() const { return document_; }
  int PageCount() const { return ddjvu_document_get_pagenum(document_); }
  // Page is 0-based here, as in djvulibre. Throw Exception when the page's
  // data is damaged.
  ddjvu_pageinfo_t PageInfo(int page);
  ddjvu_page_t* DecodedPage(int page);
  // An s-expression of the document that ReleaseExpression gives back;
  // miniexp_nil when there is none.
  miniexp_t PageText(int page);
  miniexp_t PageAnnotations(int page);
  miniexp_t Outline();
  void ReleaseExpression(miniexp_t expression) { ddjvu_miniexp_release(document_, expression); }
  // The 0-based page that a file identifier, name or title names; -1 for none.
  int PageOfFile(const std::string& id);

 private:
  // Handles the queued messages, first waiting for one when asked.
  void Pump(bool wait);
  // Hands the decoder the file it asks for by name, or tells it there is none.
  void Serve(const ddjvu_message_t& request);
  [[noreturn]] void Fail(const std::string& what);
  template <typename Query>
  miniexp_t WaitForExpression(Query query);

  ddjvu_context_t* context_ = nullptr;
  ddjvu_document_t* document_ = nullptr;
  std::string lastError_;
  std::string folder_;
};

// Holds an expression of a session until the end of the scope.
class TDjvuExpression {
 public:
  TDjvuExpression(TDjvuSession& session, miniexp_t expression) : session_(session), expression_(expression) {}
  ~TDjvuExpression() {
    if (expression_ != miniexp_nil) session_.ReleaseExpression(expression_);
  }
  TDjvuExpression(const TDjvuExpression&) = delete;
  TDjvuExpression& operator=(const TDjvuExpression&) = delete;
  miniexp_t Get() const { return expression_; }

 private:
  TDjvuSession& session_;
  miniexp_t expression_;
};
