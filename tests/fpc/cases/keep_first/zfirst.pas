unit ZFirst;

interface

implementation

uses TrailLog;

initialization
  Trail := Trail + 'ZFirst ';
end.
