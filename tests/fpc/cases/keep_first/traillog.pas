unit TrailLog;

interface

var
  Trail: string;

implementation

end.
