#include "windows/lens/lens_frame.h"

#include "core/worker.h"

namespace {

using Pictures = LatestWins<LensRequest, LatestLens::Shown>;

} // namespace

LatestLens::LatestLens(QObject* parent)
    : QObject(parent),
      pictures_(
          *this,
          [](const LensRequest& request, ProgressReport* progress) -> std::optional<Shown> {
              LensPicture made = renderLens(request.journal, request.look, request.ratio,
                                            request.view, progress);
              if (made.image.isNull())
                  return std::nullopt;
              return Shown{std::move(made), request.view};
          },
          [this](const Shown& shown) { take(shown); }) {}

void LatestLens::draw(LensRequest request) {
    const bool longJournal = double(passesToReplay(request.journal)) >= passesForWorker;
    pictures_.ask(std::move(request),
                  longJournal ? Pictures::Length::Long : Pictures::Length::Short);
}

void LatestLens::take(const Shown& shown) {
    picture_ = shown.picture;
    shown_ = shown.view;
    emit pictureChanged();
}
