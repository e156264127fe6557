program prog;
{$mode objfpc}
uses
  Starter, Worker, Unrelated, Shapes;

begin
  WriteLn(Work(Area(2)));
end.
