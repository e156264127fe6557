program prog;

uses ZFirst, Alpha, TrailLog;

begin
  WriteLn(Trail);
end.
