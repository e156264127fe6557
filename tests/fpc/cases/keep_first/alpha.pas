unit Alpha;

interface

implementation

uses TrailLog;

initialization
  Trail := Trail + 'Alpha ';
end.
